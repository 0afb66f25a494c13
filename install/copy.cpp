// The file side of the copy engine: opening a source through the expansion service,
// copying it safely over its target, the progress arithmetic and the timed wait.
#include "install/install.h"
#include "app/globals.h"
#include "app/text.h"
#include <lzexpand.h>

int DiskPercent(int index, int count)
{
    if (count <= 0)
        return 0;
    return 100 * (index + 1) / count; // 32-bit: no overflow for any 16-bit count
}

void ProgressBarRect(const RECT* control, int percent, RECT* bar)
{
    *bar = *control;
    InflateRect(bar, -2, -2);
    OffsetRect(bar, -1, -1);
    bar->right = bar->left + percent * (bar->right - bar->left + 1) / 100;
}

HFILE OpenSourceFile(const char* path)
{
    char name[kPathRoom];
    if (!TextCopy(name, path))
        return HFILE_ERROR;
    OFSTRUCT of;
    return LZOpenFileA(name, &of, OF_READ);
}

namespace {

// The target's directory with its closing backslash, so that a root stays a root.
int TargetDirectory(const char* target, char* dir)
{
    if (!TextCopy(dir, kPathRoom, target))
        return 0;
    int cut = -1;
    for (int i = 0; dir[i]; ++i)
        if (dir[i] == '\\')
            cut = i;
    if (cut < 0)
        return 0;
    dir[cut + 1] = '\0';
    return 1;
}

// The size the source has once expanded (its plain size when it is not compressed), or
// -1 when the service cannot tell. The source is left at its start.
LONG ExpandedSize(HFILE source)
{
    LONG size = LZSeek(source, 0, 2);
    if (LZSeek(source, 0, 0) != 0)
        return -1;
    return size;
}

// Writes the whole source to `path`, created or emptied. 1 when every byte the source
// promised arrived; `created` tells whether `path` was opened at all.
int WriteWhole(HFILE source, const char* path, bool* created)
{
    char name[MAX_PATH];
    OFSTRUCT of;
    HFILE out = TextCopy(name, path) ? LZOpenFileA(name, &of, OF_CREATE) : HFILE_ERROR;
    *created = out >= 0;
    if (out < 0)
        return 0;
    LONG expected = ExpandedSize(source);
    LONG written = LZCopy(source, out);
    LONG size = LZSeek(out, 0, 2);
    LZClose(out);
    // A short write (full disk) or a source that ends early (read error, cut compressed
    // file) leaves fewer bytes than the source promised.
    return written >= 0 && size == written && (expected < 0 || written == expected);
}

// Through a temporary file in the target's own directory (so that the final rename stays
// on one volume), which replaces the target only once it is whole.
int ReplaceExisting(HFILE source, const char* target)
{
    char dir[kPathRoom];
    char temp[MAX_PATH];
    if (!TargetDirectory(target, dir) || !GetTempFileNameA(dir, "zel", 0, temp))
        return 0;
    bool created;
    int done = WriteWhole(source, temp, &created) && MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING);
    if (!done)
        DeleteFileA(temp);
    return done;
}

} // namespace

int CopyToTarget(HFILE source, const char* target)
{
    if (source < 0)
        return 0;
    int done = 0;
    DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND) {
        // Nothing there to keep: written in place, and removed again if it is not whole.
        // This spares a fresh installation a temporary file and a rename per file.
        bool created;
        done = WriteWhole(source, target, &created);
        if (!done && created)
            DeleteFileA(target);
    } else if (attributes == INVALID_FILE_ATTRIBUTES ||
               !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        // A read-only file is not replaced, just as it could not be overwritten in place.
        done = ReplaceExisting(source, target);
    }
    LZClose(source);
    return done;
}

void TimedWait(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) { // unsigned difference: safe across the wrap
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    }
}
