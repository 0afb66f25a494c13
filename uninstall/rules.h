// The removal's rules, as functions of what they decide on alone: what becomes of a
// Windows-directory file and its shared-file count, which directories may go, and when
// two command lines start the same program.
#pragma once
#include "engine/counts.h" // kNoCount, kOddCount

// What the removal does with one file of the Windows directories.
struct SharedFate {
    long count;     // the count to leave: 0 removes the value; the same as before writes nothing
    int removeFile; // 1 when the file goes
    int line;       // the closing box's line when the file stays (IDS_UNINST_KEPT or
                    // IDS_UNINST_SHARED), 0 when it goes
};

// The fate of a file whose count is `count` (kNoCount, kOddCount or the value), marked
// Keep or not, removed by the uninstaller of the live installation (the one the
// registration points at) or of another one.
// - The count goes down by this installation's one; the file goes only at zero, and then
//   the value too. A kept file never goes, though its count is lowered all the same.
// - Another installation's uninstaller never takes the last count: that one is the live
//   installation's (a backup copy of an old folder has nothing of its own to take).
// - A file without a count goes, as before counts were kept, only with the live
//   installation.
SharedFate SharedFileFate(long count, int kept, int live);

// 1 when directory `dir` may be removed for destination `dest`: it is the destination
// or lies inside it, is no drive root, and neither is nor holds a Windows directory
// (`windowsDir` and those of the Windows directory keys).
int DirMayGo(const char* dir, const char* dest, const char* windowsDir);

// 1 when command lines `a` and `b` name the same program: each without the double quotes
// that may enclose it, compared as paths.
int SameCommand(const char* a, const char* b);

// The program a command line names, without enclosing double quotes, into `out` (room
// in characters). 1 when it fitted whole.
int CommandProgram(const char* command, char* out, int room);
