// The file side of the copy: opening a source through the expansion service and writing
// it whole to a file of its own, with the reason when a file cannot be installed.
#pragma once
#include <windows.h>

// Opens a source for copying (expanded on the way when it is compressed). A negative
// handle means it cannot be opened; `failure`, when given, then receives the string
// number of the reason (not on the medium, unreadable, path too long).
HFILE OpenSourceFile(const char* path, int* failure = nullptr);

// What a file holds, in short: its size and a checksum of its bytes (Adler-32), enough
// to tell a file that was changed since from the one written.
struct FileSum {
    DWORD size;
    DWORD sum;
};

// Writes the opened source whole to the new file `path` (expanded on the way) and closes
// the source; a file that does not come out whole is removed again. 1 when written. A
// negative `source` writes nothing and returns 0. `failure`, when given, receives 0 or the
// string number of the reason (damaged on the medium, disk full, cannot be written); it
// is left alone for a negative `source`. The copy goes in chunks; before each chunk but
// the first, `between` (when given) is called with `context`: 0 stops the copy, removes the
// file and gives the failure kCopyCancelled.
// `written`, when given, receives the written file's size and checksum.
constexpr int kCopyCancelled = -1;
int WriteWholeFile(HFILE source, const char* path, int* failure = nullptr,
                   int (*between)(void* context) = nullptr, void* context = nullptr, FileSum* written = nullptr);

// The checksum of no bytes, to which AddToSum adds.
constexpr DWORD kSumStart = 1;
DWORD AddToSum(DWORD sum, const void* data, DWORD count);
// The size and checksum of file `path`. 0 when it cannot be read (missing, or held open
// by a program that lets nobody read it).
int ReadFileSum(const char* path, FileSum* out);

// 1 for the errors that say another program holds a file open.
int FileInUse(DWORD error);
