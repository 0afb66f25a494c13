// The uninstaller's removal: removes what an installation put in place, as UNINSTAL.INF
// (the copy of the medium's SETUP.INF that the installation leaves in the destination)
// describes it, read with the setup's own reader and install plan. The program's entry
// (main.cpp) asks and tells; everything here is also called by the in-process tests.
#pragma once
#include <windows.h>

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

// Reads the [Uninstall] section's Keep lines of the script just read: the files the
// installation leaves in place. 0 when the memory for the marks cannot be had.
int ReadKeepMarks();

// 1 when this destination's installation is the live one: the registration's uninstall
// entry names its UNINSTAL.EXE, or there is no entry. Otherwise 0, and the directory of
// the program the entry names in `liveDir` (room MAX_PATH).
int RegisteredHere(char* liveDir);

// Removes every target file of the plan but the kept ones and the uninstaller's own two
// files (`selfExe`, `selfInf`, full paths); a file in use goes at the next restart. Files
// of the Windows directories follow their shared-file counts (SharedFileFate); `live` as
// RegisteredHere tells. Waits up to `inUseWaitMs` in all for files that are still in use
// while a closed program ends. Sets *selfNamed / *infNamed when the plan names those two.
void RemovePlanFiles(const char* selfExe, const char* selfInf, int live, DWORD inUseWaitMs, int* selfNamed,
                     int* infNamed, Leftovers* left);

// Removes the registration's entries that still hold what this package writes for
// g_destDir.
void RemoveRegistration(Leftovers* left);

// Removes `path` (full), or schedules it for the next restart when it is in use.
// `listed` puts a file in use among the leftovers.
void RemoveOneFile(const char* path, bool listed, Leftovers* left);

// Removes the destination's sub-directories that the setup creates, deepest first, then
// the destination itself, each only when it is empty or holds only what goes at the
// next restart (and then at that restart), and only where DirMayGo allows.
void RemoveDirectories(Leftovers* left);

// Takes out of the restart list the replacements (waiting upgrades) of the plan's files
// that are gone or go at the restart, and sweeps the staged files they named.
void ForgetReplacements();

// Frees what ReadKeepMarks and the removal allocated.
void FreeRemovalState();

// Adds line `id` with `arg` formatted in it to the leftovers; a file that cannot be
// removed or goes at the restart is counted as such.
void AddLeftover(Leftovers* left, int id, const char* arg);
