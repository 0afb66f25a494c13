// Expanding a file of a medium with the platform's expansion service (LZ32) alone, as the
// setup's copy takes it: a compressed (SZDD) file expanded, a plain one copied unchanged.
// For the programs beside the setup (the checker, the demo's report, the bench's floor
// program, the tests of the demo medium); the setup itself copies more carefully.
#pragma once
#include <windows.h>
#include <string>

// Writes what `source` expands to into `target`, created or emptied, with LZOpenFileA,
// LZCopy and LZClose alone. Returns LZCopy's result (the bytes written, or a negative
// LZERROR_ code), or the negative result of an open that failed.
LONG ExpandFile(const char* source, const char* target);

// What the file at `path` holds, in `*data`; 0 (and `*data` empty) when it cannot be read.
int ReadWholeFile(const char* path, std::string* data);

// Expands `source` into a scratch file of the temporary directory, which is deleted again;
// what it holds then in `*data` when `data` is given (empty when `source` cannot be
// opened; what arrived when the expansion failed part-way).
// Returns what ExpandFile returned.
LONG ExpandToScratch(const char* source, std::string* data = nullptr);
