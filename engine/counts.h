// The system's shared-file counts (the SharedDLLs key): how many installations use each
// file the package puts in the Windows directories.
#pragma once
#include "engine/installation.h"

// A shared-file count as the registry holds it for one file (ReadSharedCount).
constexpr long kNoCount = -1;  // no value: installed by an older setup, or never counted
constexpr long kOddCount = -2; // a value that is no count of four bytes: left as it is
// The shared-file count of `path` (named as the plan composes it), kNoCount or kOddCount.
long ReadSharedCount(const char* path);

// The shared-file count a file in a Windows directory has after this installation:
// `had` whether it has one, `count` that count, `existed` whether the file was there
// before, `counted` whether this destination has counted it already.
DWORD SharedCountAfterInstall(bool had, DWORD count, bool existed, bool counted);

// Writes, through the run's journal, the count of every file the run put in the Windows
// directories. A count that cannot be written is noted among the failures. 1 when all
// were written.
int CountSharedFiles(Installation* run);
