// The file side of the copy: opening a source through the expansion service and writing
// it whole to a file of its own in chunks, with the reason when a file cannot be installed.
#include "engine/copy.h"
#include "base/globals.h"
#include "base/text.h"
#include "res/ids.h"
#include <lzexpand.h>

namespace {

// The time stamp of the source opened last, which its copy takes over (as the expansion
// service's one-call copy does); an expansion handle does not tell it.
struct Opened {
    HFILE handle;
    FILETIME written;
};
Opened s_opened = {HFILE_ERROR, {0, 0}};

} // namespace

HFILE OpenSourceFile(const char* path, int* failure)
{
    char name[kPathRoom];
    if (!TextCopy(name, path)) {
        if (failure)
            *failure = IDS_FAIL_PATH;
        return HFILE_ERROR;
    }
    OFSTRUCT of = {};
    HFILE source = LZOpenFileA(name, &of, OF_READ);
    if (source < 0 && failure) {
        // The open's own error code, kept in the structure whatever else ran since.
        *failure = of.nErrCode == ERROR_FILE_NOT_FOUND || of.nErrCode == ERROR_PATH_NOT_FOUND
                       ? IDS_FAIL_MISSING
                       : IDS_FAIL_UNREADABLE;
    }
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    s_opened.handle = source >= 0 && GetFileAttributesExA(name, GetFileExInfoStandard, &data)
                          ? source
                          : HFILE_ERROR;
    s_opened.written = data.ftLastWriteTime;
    return source;
}

namespace {

// The target's directory with its closing backslash, so that a root stays a root.
int TargetDirectory(const char* target, char* dir)
{
    if (!TextCopy(dir, MAX_PATH, target))
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

// Why writing to `path` failed: its disk is full, or it cannot be written at all.
int WriteFailure(const char* path)
{
    const DWORD error = GetLastError();
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)
        return IDS_FAIL_FULL;
    // The expansion service does not always leave the error behind: a volume without
    // room for another cluster is full too.
    char dir[MAX_PATH];
    ULARGE_INTEGER available;
    if (TargetDirectory(path, dir) && GetDiskFreeSpaceExA(dir, &available, nullptr, nullptr) &&
        available.QuadPart < 64 * 1024)
        return IDS_FAIL_FULL;
    return IDS_FAIL_WRITE;
}

// What the copy moves between two calls of the caller's `between`: a large file can be
// cancelled, and its progress shown, many times a second, while the calls cost nothing
// next to the copy. A smaller file is one chunk and no call.
constexpr int kChunk = 64 * 1024;
// One buffer for every copy of the process (one copy runs at a time): too large for the
// stack of a window procedure's call chain.
char s_chunk[kChunk];

// Writes the whole source to `path`, created or emptied, a chunk at a time, calling
// `between` before each chunk but the first. 0 when every byte the source promised
// arrived, kCopyCancelled when `between` said stop, else the reason it did not; `created`
// tells whether `path` was opened at all. The checksum of what was written is added to
// result->sum, and result->size is set once the file is whole.
int WriteWhole(HFILE source, const char* path, bool* created, int (*between)(void*), void* context, FileSum* result)
{
    char name[MAX_PATH];
    OFSTRUCT of;
    SetLastError(0);
    HFILE out = TextCopy(name, path) ? LZOpenFileA(name, &of, OF_CREATE) : HFILE_ERROR;
    *created = out >= 0;
    if (out < 0)
        return IDS_FAIL_WRITE;
    const LONG expected = ExpandedSize(source);
    LONG written = 0;
    int why = 0;
    for (;;) {
        if (written > 0 && between && (expected < 0 || written < expected) && !between(context)) {
            why = kCopyCancelled;
            break;
        }
        const INT got = LZRead(source, s_chunk, kChunk);
        if (got == 0)
            break;
        // A read error, or a compressed source the service cannot expand.
        if (got < 0) {
            why = IDS_FAIL_DAMAGED;
            break;
        }
        if (_lwrite(out, s_chunk, (UINT)got) != (UINT)got) {
            why = WriteFailure(path); // before any other call changes the last error
            break;
        }
        result->sum = AddToSum(result->sum, s_chunk, (DWORD)got);
        written += got;
    }
    const LONG size = LZSeek(out, 0, 2);
    if (!why && source == s_opened.handle)
        SetFileTime((HANDLE)(INT_PTR)out, nullptr, nullptr, &s_opened.written);
    LZClose(out);
    if (why)
        return why;
    // A short write (full disk) or a source that ends early (read error, cut compressed
    // file) leaves fewer bytes than the source promised.
    if (size != written)
        return WriteFailure(path);
    if (expected >= 0 && written != expected)
        return IDS_FAIL_DAMAGED;
    result->size = (DWORD)written;
    return 0;
}

} // namespace

int FileInUse(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

DWORD AddToSum(DWORD sum, const void* data, DWORD count)
{
    // Adler-32: the modulo is taken every 5552 bytes, the most that cannot overflow.
    constexpr DWORD kBase = 65521, kRun = 5552;
    const BYTE* p = static_cast<const BYTE*>(data);
    DWORD a = sum & 0xFFFF, b = sum >> 16;
    while (count) {
        DWORD n = count < kRun ? count : kRun;
        count -= n;
        while (n--) {
            a += *p++;
            b += a;
        }
        a %= kBase;
        b %= kBase;
    }
    return b << 16 | a;
}

int ReadFileSum(const char* path, FileSum* out)
{
    // Shared with whoever has it open for reading or writing; a program that lets
    // nobody read it makes it unreadable here.
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    *out = FileSum{0, kSumStart};
    DWORD got = 0;
    BOOL read;
    while ((read = ReadFile(f, s_chunk, kChunk, &got, nullptr)) && got) {
        out->sum = AddToSum(out->sum, s_chunk, got);
        out->size += got;
    }
    CloseHandle(f);
    return read != 0;
}

int WriteWholeFile(HFILE source, const char* path, int* failure, int (*between)(void* context),
                   void* context, FileSum* written)
{
    if (source < 0)
        return 0;
    bool created;
    FileSum result = {0, kSumStart};
    const int why = WriteWhole(source, path, &created, between, context, &result);
    if (!why && written)
        *written = result;
    if (why && created)
        DeleteFileA(path);
    LZClose(source);
    s_opened.handle = HFILE_ERROR;
    if (failure)
        *failure = why;
    return why == 0;
}
