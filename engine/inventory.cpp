// The inventory of installed files in the destination: read once at the start of an
// installation, looked up per target, written whole once the installation is complete.
#include "engine/inventory.h"
#include "engine/sweep.h"
#include "base/log.h"
#include "base/memory.h"
#include "base/path.h"
#include "base/text.h"

namespace {

int InventoryPath(const char* dest, char* out)
{
    return TextCopy(out, MAX_PATH, dest) && PathAppend(out, MAX_PATH, kInventoryFile);
}

// Reads the line at `at` of the inventory; `next` the start of the line after it. 0 when the
// line names no file (it is passed over).
int ParseLine(const Inventory* r, DWORD at, FileSum* content, char* target, DWORD* next)
{
    const char* p = r->text + at;
    const char* end = p;
    while (*end && *end != '\n')
        ++end;
    *next = (DWORD)(end - r->text) + (*end ? 1 : 0);
    DWORD size = 0, sum = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 10; ++p, ++digits)
        size = size * 10 + (DWORD)(*p - '0');
    if (!digits || *p++ != ' ')
        return 0;
    for (digits = 0; digits < 8; ++digits, ++p) {
        const char c = *p;
        const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (v < 0)
            return 0;
        sum = sum << 4 | (DWORD)v;
    }
    if (*p++ != ' ')
        return 0;
    int len = (int)(end - p);
    if (len > 0 && p[len - 1] == '\r')
        --len;
    if (len <= 0 || len >= MAX_PATH)
        return 0;
    lstrcpynA(target, p, len + 1);
    *content = FileSum{size, sum};
    return 1;
}

} // namespace

int InventoryRead(Inventory* r, const char* dest)
{
    *r = Inventory{};
    char path[MAX_PATH];
    if (!InventoryPath(dest, path))
        return 0;
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    // An inventory larger than any plan can make is none of ours.
    const DWORD size = GetFileSize(f, nullptr);
    DWORD got = 0;
    if (size != INVALID_FILE_SIZE && size < (16u << 20))
        r->text = static_cast<char*>(GlobalTake(&r->handle, size + 1));
    if (r->text && (!ReadFile(f, r->text, size, &got, nullptr) || got != size))
        InventoryFree(r);
    CloseHandle(f);
    if (r->text)
        r->size = size;
    return r->text != nullptr;
}

int InventoryFind(Inventory* r, const char* target, FileSum* content)
{
    if (!r->text || !r->size)
        return 0;
    // From where the last look-up ended, once round the inventory.
    DWORD at = r->at < r->size ? r->at : 0;
    const DWORD start = at;
    do {
        char have[MAX_PATH];
        DWORD next;
        const int parsed = ParseLine(r, at, content, have, &next);
        at = next < r->size ? next : 0;
        if (parsed && SamePath(have, target)) {
            r->at = at;
            return 1;
        }
    } while (at != start);
    return 0;
}

void InventoryFree(Inventory* r)
{
    GlobalDrop(&r->handle);
    *r = Inventory{};
}

int InventoryAppend(char* text, DWORD room, DWORD* used, const char* target, const FileSum& content)
{
    char line[MAX_PATH + 32];
    char plain[MAX_PATH];
    if (!PlainPath(target, plain, MAX_PATH))
        return 0;
    const int len = wsprintfA(line, "%lu %08lX %s\r\n", content.size, content.sum, plain);
    if (len <= 0 || *used + (DWORD)len > room)
        return 0;
    CopyMemory(text + *used, line, len);
    *used += (DWORD)len;
    return 1;
}

int InventoryWrite(const char* dest, const char* text, DWORD size, int staging)
{
    char path[MAX_PATH], staged[MAX_PATH];
    if (!InventoryPath(dest, path) || !SideName(path, kStagedMark, staging, 0, staged))
        return 0;
    // An inventory of no file is none: the previous one goes.
    if (!size) {
        DeleteFileA(path);
        return 1;
    }
    HANDLE f = CreateFileA(staged, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD wrote = 0;
    int done = f != INVALID_HANDLE_VALUE && WriteFile(f, text, size, &wrote, nullptr) && wrote == size;
    if (f != INVALID_HANDLE_VALUE)
        done = CloseHandle(f) && done;
    done = done && MoveFileExA(staged, path, MOVEFILE_REPLACE_EXISTING);
    if (!done) {
        DeleteFileA(staged);
        DeleteFileA(path);
        LogLine("inventory %s: could not be written, removed", path);
    }
    return done;
}
