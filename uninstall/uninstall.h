// The uninstaller: removes what an installation put in place, as UNINSTAL.INF (the copy
// of the medium's SETUP.INF that the installation leaves in the destination) describes
// it, read with the setup's own reader and install plan.
#pragma once
#include <windows.h>

// What a removal left behind and why, for the closing box.
struct Leftovers {
    char text[1536]; // one line per thing left, with its reason
    int lines;       // lines in text
    int more;        // lines that did not fit text
    int foreign;     // registry entries that hold another installation's data
};

// Reads the [Uninstall] section's Keep lines of the script just read: the files the
// installation leaves in place. 0 when the memory for the marks cannot be had.
int ReadKeepMarks();

// Removes every target file of the plan but the kept ones and the uninstaller's own two
// files (`selfExe`, `selfInf`, full paths); a file in use goes at the next restart.
// Waits up to `inUseWaitMs` in all for files that are still in use while a closed
// program ends. Sets *selfNamed / *infNamed when the plan names those two.
void RemovePlanFiles(const char* selfExe, const char* selfInf, DWORD inUseWaitMs, int* selfNamed,
                     int* infNamed, Leftovers* left);

// Removes the registration's entries that still hold what this package writes for
// g_destDir.
void RemoveRegistration(Leftovers* left);

// Removes `path` (full), or schedules it for the next restart when it is in use.
// `listed` puts a file in use among the leftovers.
void RemoveOneFile(const char* path, bool listed, Leftovers* left);

// Removes the destination's sub-directories that the setup creates, deepest first, then
// the destination itself, each only when it is empty or holds only what goes at the
// next restart (and then at that restart).
void RemoveDirectories(Leftovers* left);

// Frees what ReadKeepMarks and the removal allocated.
void FreeRemovalState();

// Adds line `id` with `arg` formatted in it to the leftovers.
void AddLeftover(Leftovers* left, int id, const char* arg);
