// The uninstaller's removal: removes what an installation put in place, as UNINSTAL.INF
// (the copy of the medium's SETUP.INF that the installation leaves in the destination)
// describes it, read with the setup's own reader and install plan. The program's entry
// (main.cpp) asks and tells; everything here is also called by the in-process tests.
#pragma once
#include "base/globals.h"
#include "engine/outcome.h"

// What a removal left behind and why, for the closing box and the exit code.
struct Leftovers {
    char text[1536]; // one line per thing left, with its reason
    int lines;       // lines in text
    int more;        // lines that did not fit text
    int foreign;     // registry entries that hold another installation's data
    int failed;      // files and directories that should have gone and could not
    int pending;     // files of the package that go at the next restart
    char liveDir[MAX_PATH]; // the installation the registration names, when not this one
};

// One removal: everything it decides and what it left.
struct Removal {
    char dest[kPathRoom];  // the destination it removes from
    int live;              // this removal is the live installation's (DecideLive)
    // The destination the registration was written for: `dest`, or the live installation's
    // when that folder no longer holds it (moved or copied away) and this copy takes its place.
    char regDest[kPathRoom];
    // One mark per record of the plan, in plan order: 1 for a file the installation leaves.
    HGLOBAL keepHandle;
    BYTE* keep;
    // Full paths of what is scheduled for removal at the next restart, so that a directory
    // holding only those is scheduled after them.
    HGLOBAL pendingHandle;
    char (*pending)[MAX_PATH];
    int pendingCount;
    int pendingRoom;
    // While a program that was asked to close is still ending, its files are in use for a
    // moment: until then a file in use is tried again.
    DWORD retryUntil;
    int selfPending;       // the uninstaller's own file stays in the destination until the restart
    Leftovers left;
};

// Reads the [Uninstall] section's Keep lines of the script just read: the files the
// installation leaves in place. 0 when the memory for the marks cannot be had.
int ReadKeepMarks(Removal* rm);

// 1 when destination `dest`'s installation is the live one: the registration's uninstall
// entry names its UNINSTAL.EXE, or there is no entry. Otherwise 0, and the directory of
// the program the entry names in `liveDir` (room MAX_PATH).
int RegisteredHere(const char* dest, char* liveDir);

// Decides whether this removal is the live installation's: the registration names its
// destination (or there is none), or the destination the registration names no longer
// holds an installation of the product, and this copy takes its place (rm->regDest then
// names that one). Otherwise rm->left.liveDir names the live one.
void DecideLive(Removal* rm);

// Runs the removal from start to outcome, after the question: sweeps what a killed setup
// left, removes the plan's files (RemovePlanFiles), the waiting replacements, the
// registration when rm->live, the uninstaller's own two files `selfExe` and `selfInf`
// (full paths) and the directories. Waits up to `inUseWaitMs` for files still in use
// while a closed program ends.
Outcome RunRemoval(Removal* rm, const char* selfExe, const char* selfInf, DWORD inUseWaitMs);

// Removes every target file of the plan but the kept ones and the uninstaller's own two
// files; a file in use goes at the next restart. Files of the Windows directories follow
// their shared-file counts (SharedFileFate). Sets *selfNamed / *infNamed when the plan
// names those two.
void RemovePlanFiles(Removal* rm, const char* selfExe, const char* selfInf, DWORD inUseWaitMs, int* selfNamed,
                     int* infNamed);

// Removes the registration's entries that still hold what this package writes for
// the removal's destination.
void RemoveRegistration(Removal* rm);

// Removes `path` (full), or schedules it for the next restart when it is in use.
// `listed` puts a file in use among the leftovers.
void RemoveOneFile(Removal* rm, const char* path, bool listed);

// Removes the destination's sub-directories that the setup creates, deepest first, then
// the destination itself, each only when it is empty or holds only what goes at the
// next restart (and then at that restart), and only where DirMayGo allows.
void RemoveDirectories(Removal* rm);

// Takes out of the restart list the replacements (waiting upgrades) of the plan's files
// under `dest` that are gone or go at the restart, and sweeps the staged files they named.
void ForgetReplacements(const char* dest);

// Frees what ReadKeepMarks and the removal allocated.
void FreeRemovalState(Removal* rm);

// Adds line `id` with `arg` formatted in it to the leftovers; a file that cannot be
// removed or goes at the restart is counted as such.
void AddLeftover(Leftovers* left, int id, const char* arg, const char* arg2 = nullptr);
