// The system's list of file operations carried out at the next restart
// (PendingFileRenameOperations): which staged files it still names, and taking out the
// operations that would delete or replace a file this installation puts in place. The
// list as it was is kept, so that an installation that does not finish puts it back.
#include "engine/restartlist.h"
#include "base/memory.h"
#include "base/path.h"
#include "base/text.h"

namespace {

// Room for the list and a closing terminator.
char* Take(HGLOBAL* handle, DWORD size)
{
    return static_cast<char*>(GlobalTake(handle, size + 2));
}

// The path a restart-list entry names, without the "!" that asks for a replace.
const char* EntryPath(const char* entry)
{
    return *entry == '!' ? entry + 1 : entry;
}

// Calls `visit(source, target)` for every pair of the working copy while it returns 0;
// returns the offset of the pair it stopped at, or -1.
template <typename Visit> int EachPair(const RestartList* r, Visit visit)
{
    DWORD at = 0;
    while (at < r->listSize && r->list[at]) {
        const char* source = r->list + at;
        DWORD next = at + (DWORD)lstrlenA(source) + 1;
        const char* target = next < r->listSize ? r->list + next : "";
        DWORD end = next + (DWORD)lstrlenA(target) + 1;
        if (visit(source, target))
            return (int)at;
        at = end;
    }
    return -1;
}

} // namespace

int RestartListRead(RestartList* r)
{
    RestartListFree(r);
    HKEY key;
    DWORD size = 0, type = 0;
    r->hadList = false;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, kPendingRenamesValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            type == REG_MULTI_SZ) {
            r->saved = Take(&r->savedHandle, size);
            r->list = Take(&r->listHandle, size);
            DWORD got = size;
            if (r->saved && r->list &&
                RegQueryValueExA(key, kPendingRenamesValue, nullptr, &type, reinterpret_cast<BYTE*>(r->saved), &got) ==
                    ERROR_SUCCESS) {
                r->hadList = true;
                r->savedSize = got;
                CopyMemory(r->list, r->saved, got);
                r->listSize = got;
            }
        }
        RegCloseKey(key);
    }
    if (size && !r->hadList) {
        RestartListFree(r);
        return 0; // a list that is there but cannot be read cannot be kept as it was
    }
    return 1;
}

int RestartListNamesSource(const RestartList* r, const char* path)
{
    if (!r->list)
        return 0;
    return EachPair(r, [&](const char* source, const char*) { return SamePath(source, path); }) >= 0;
}

int RestartListDeletes(const RestartList* r, const char* path)
{
    if (!r->list)
        return 0;
    return EachPair(r, [&](const char* source, const char* target) { return !target[0] && SamePath(source, path); }) >= 0;
}

int RestartListForget(RestartList* r, const char* path, int replacementsOnly)
{
    if (!r->list)
        return 0;
    int forgotten = 0;
    for (;;) {
        // A replacement onto the path; unless only those are asked for, also a deletion
        // of the path or a move of it elsewhere: each would undo the file put there.
        const int at = EachPair(r, [&](const char* source, const char* target) {
            if (target[0] && SamePath(EntryPath(target), path))
                return true;
            return !replacementsOnly && SamePath(source, path);
        });
        if (at < 0)
            return forgotten;
        char* source = r->list + at;
        char* target = source + lstrlenA(source) + 1;
        char* end = target + lstrlenA(target) + 1;
        const DWORD tail = r->listSize - (DWORD)(end - r->list);
        MoveMemory(source, end, tail);
        r->listSize -= (DWORD)(end - source);
        r->list[r->listSize] = '\0';
        r->changed = true;
        ++forgotten;
    }
}

int RestartListWrite(RestartList* r)
{
    if (!r->changed)
        return 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    LONG written;
    // A list of no pairs is no list: the value goes.
    if (r->listSize == 0 || r->list[0] == '\0')
        written = RegDeleteValueA(key, kPendingRenamesValue);
    else
        written = RegSetValueExA(key, kPendingRenamesValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(r->list),
                                 r->listSize);
    RegCloseKey(key);
    r->changed = false;
    return written == ERROR_SUCCESS || written == ERROR_FILE_NOT_FOUND;
}

void RestartListRestore(const RestartList* r)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kSessionManagerKey, &key) != ERROR_SUCCESS)
        return;
    if (r->hadList)
        RegSetValueExA(key, kPendingRenamesValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(r->saved), r->savedSize);
    else
        RegDeleteValueA(key, kPendingRenamesValue);
    RegCloseKey(key);
}

void RestartListFree(RestartList* r)
{
    GlobalDrop(&r->savedHandle);
    GlobalDrop(&r->listHandle);
    r->saved = r->list = nullptr;
    r->savedSize = r->listSize = 0;
    r->hadList = r->changed = false;
}
