// The Installing page with its copy engine, and the system registration.
#pragma once
#include <windows.h>

LRESULT CALLBACK InstallPageProc(HWND, UINT, WPARAM, LPARAM);

// The window title by which the resident mouse utility is found.
constexpr char kUtilityTitle[] = "ZaderUvori";
// Asks a running resident mouse utility (window titled kUtilityTitle) to close, waiting
// at most `timeoutMs` for its answer. 1 when such a window was found.
int CloseUtility(UINT timeoutMs);
// A utility that does not answer within this time is left behind.
constexpr UINT kUtilityWait = 5000;

// Writes the registry entries of the installed package for the current destination.
void RegisterSystem();

// Creates destination \ name for the directory keys of the destination's sub-directories
// (RootDir, SubDir1-5), in key order; what exists already stays.
void CreateSubDirectories();

// Percentage of disk progress shown while file `index` (from 0) of `count` is copied:
// 100 * (index + 1) / count, truncated; 0 for an empty disk.
int DiskPercent(int index, int count);

// The blue bar for `percent` inside the progress area `control` (page client
// coordinates): the area shrunk by 2, moved 1 left and up, cut to the percentage.
void ProgressBarRect(const RECT* control, int percent, RECT* bar);

// Opens a source for copying (expanded on the way when it is compressed). A negative
// handle means it cannot be opened; `failure`, when given, then receives the string
// number of the reason (not on the medium, unreadable, path too long).
HFILE OpenSourceFile(const char* path, int* failure = nullptr);

// Copies the opened source to `target` and closes the source. An existing target is
// replaced only once the whole content has been written to a temporary file beside it;
// a new one is written in place and removed again when it is not whole. Either way a
// failure leaves the target as it was. 1 when the target was written. A negative
// `source` leaves the target alone and returns 0. `failure`, when given, receives 0 or
// the string number of the reason (damaged on the medium, read-only, disk full, cannot
// be written); it is left alone for a negative `source`.
int CopyToTarget(HFILE source, const char* target, int* failure = nullptr);

// The files of the plan that were not installed, for the warning after the copy.
void ClearFailedFiles();
// Notes file `name` as not installed for the reason string `reason`.
void NoteFailedFile(const char* name, int reason);
int FailedFileCount();
// The warning owned by `page` that names the files not installed: at most ten lines,
// then how many more.
void FailedFilesWarning(HWND page);

// Waits `ms` milliseconds, taking and discarding every message of the thread meanwhile.
void TimedWait(DWORD ms);
