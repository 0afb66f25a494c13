// The resident mouse utility, which holds the package's files open while it runs.
#pragma once
#include <windows.h>

// The window title by which the resident mouse utility is found.
constexpr char kUtilityTitle[] = "ZaderUvori";
// Asks a running resident mouse utility (window titled kUtilityTitle) to close, waiting
// at most `timeoutMs` for its answer. 1 when such a window was found.
int CloseUtility(UINT timeoutMs);
// Starts the resident utility again after an installation, from the command the Run value
// holds, as a logon would; not when its window is there still. 1 when started.
int StartUtility();
// A utility that does not answer within this time is left behind.
constexpr UINT kUtilityWait = 5000;
