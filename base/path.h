// Paths as the program composes and compares them: parts joined with exactly one
// backslash, and two spellings of one path (case, doubled or trailing backslashes, "."
// and "..", the "\??\" prefix of the restart list) taken as the same path.
#pragma once

// Appends `part` to the path in `dst` (room in characters including the terminator) with
// exactly one backslash between them: none is added after a path that ends in one (a
// drive root "F:\") and the part's own leading backslashes are dropped; an empty part
// adds nothing. 1 when the whole result fitted; 0 when it did not, and `dst` is then cut.
int PathAppend(char* dst, int room, const char* part);
template <int N> inline int PathAppend(char (&dst)[N], const char* part) { return PathAppend(dst, N, part); }

// The plain form of `path` in `out`: without a leading "\??\", forward slashes taken as
// backslashes, runs of backslashes as one, "." left out and ".." taking away the part
// before it, no trailing backslash except after a drive ("C:\"). Case is kept. 0 when it
// does not fit `room` (then `out` is empty).
int PlainPath(const char* path, char* out, int room);

// 1 when `a` and `b` name the same path: their plain forms are equal without regard to
// case. Paths too long to compare are different.
int SamePath(const char* a, const char* b);

// 1 when `path` lies inside directory `dir` (at any depth), compared as SamePath does;
// a directory is not inside itself.
int PathInside(const char* path, const char* dir);
