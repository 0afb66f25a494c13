// The Installing page with its copy engine, and the system registration.
#pragma once
#include <windows.h>

LRESULT CALLBACK InstallPageProc(HWND, UINT, WPARAM, LPARAM);

// Writes the registry entries of the installed package for the current destination.
void RegisterSystem();

// Percentage of disk progress shown while file `index` (from 0) of `count` is copied:
// 100 * (index + 1) / count, truncated; 0 for an empty disk.
int DiskPercent(int index, int count);

// The blue bar for `percent` inside the progress area `control` (page client
// coordinates): the area shrunk by 2, moved 1 left and up, cut to the percentage.
void ProgressBarRect(const RECT* control, int percent, RECT* bar);

// Opens a source for copying (expanded on the way when it is compressed). A negative
// handle means it cannot be opened.
HFILE OpenSourceFile(const char* path);

// Copies the opened source to `target` and closes the source. An existing target is
// replaced only once the whole content has been written to a temporary file beside it;
// a new one is written in place and removed again when it is not whole. Either way a
// failure leaves the target as it was. 1 when the target was written. A negative
// `source` leaves the target alone and returns 0.
int CopyToTarget(HFILE source, const char* target);

// Waits `ms` milliseconds, taking and discarding every message of the thread meanwhile.
void TimedWait(DWORD ms);
