// The system's list of file operations carried out at the next restart
// (PendingFileRenameOperations): which staged files it still names, and taking out the
// operations that would delete or replace a file this installation puts in place. The
// list as it was is kept, so that an installation that does not finish puts it back.
#include "install/install.h"
#include "base/memory.h"
#include "base/path.h"
#include "base/text.h"

namespace {

constexpr char kSessionKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingValue[] = "PendingFileRenameOperations";

// The list as read (s_saved, s_savedSize bytes; s_hadList 0 when there was no value),
// and the working copy that forgetting edits in place (s_list, s_listSize).
HGLOBAL s_savedHandle, s_listHandle;
char* s_saved;
char* s_list;
DWORD s_savedSize, s_listSize;
bool s_hadList;
bool s_changed;

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
template <typename Visit> int EachPair(Visit visit)
{
    DWORD at = 0;
    while (at < s_listSize && s_list[at]) {
        const char* source = s_list + at;
        DWORD next = at + (DWORD)lstrlenA(source) + 1;
        const char* target = next < s_listSize ? s_list + next : "";
        DWORD end = next + (DWORD)lstrlenA(target) + 1;
        if (visit(source, target))
            return (int)at;
        at = end;
    }
    return -1;
}

} // namespace

int RestartListRead()
{
    RestartListFree();
    HKEY key;
    DWORD size = 0, type = 0;
    s_hadList = false;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            type == REG_MULTI_SZ) {
            s_saved = Take(&s_savedHandle, size);
            s_list = Take(&s_listHandle, size);
            DWORD got = size;
            if (s_saved && s_list &&
                RegQueryValueExA(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(s_saved), &got) ==
                    ERROR_SUCCESS) {
                s_hadList = true;
                s_savedSize = got;
                CopyMemory(s_list, s_saved, got);
                s_listSize = got;
            }
        }
        RegCloseKey(key);
    }
    if (size && !s_hadList) {
        RestartListFree();
        return 0; // a list that is there but cannot be read cannot be kept as it was
    }
    return 1;
}

int RestartListNamesSource(const char* path)
{
    if (!s_list)
        return 0;
    return EachPair([&](const char* source, const char*) { return SamePath(source, path); }) >= 0;
}

int RestartListDeletes(const char* path)
{
    if (!s_list)
        return 0;
    return EachPair([&](const char* source, const char* target) { return !target[0] && SamePath(source, path); }) >= 0;
}

int RestartListForget(const char* path, int replacementsOnly)
{
    if (!s_list)
        return 0;
    int forgotten = 0;
    for (;;) {
        // A replacement onto the path; unless only those are asked for, also a deletion
        // of the path or a move of it elsewhere: each would undo the file put there.
        const int at = EachPair([&](const char* source, const char* target) {
            if (target[0] && SamePath(EntryPath(target), path))
                return true;
            return !replacementsOnly && SamePath(source, path);
        });
        if (at < 0)
            return forgotten;
        char* source = s_list + at;
        char* target = source + lstrlenA(source) + 1;
        char* end = target + lstrlenA(target) + 1;
        const DWORD tail = s_listSize - (DWORD)(end - s_list);
        MoveMemory(source, end, tail);
        s_listSize -= (DWORD)(end - source);
        s_list[s_listSize] = '\0';
        s_changed = true;
        ++forgotten;
    }
}

int RestartListWrite()
{
    if (!s_changed)
        return 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    LONG r;
    // A list of no pairs is no list: the value goes.
    if (s_listSize == 0 || s_list[0] == '\0')
        r = RegDeleteValueA(key, kPendingValue);
    else
        r = RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(s_list), s_listSize);
    RegCloseKey(key);
    s_changed = false;
    return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

void RestartListRestore()
{
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kSessionKey, &key) != ERROR_SUCCESS)
        return;
    if (s_hadList)
        RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(s_saved), s_savedSize);
    else
        RegDeleteValueA(key, kPendingValue);
    RegCloseKey(key);
}

void RestartListFree()
{
    GlobalDrop(&s_savedHandle);
    GlobalDrop(&s_listHandle);
    s_saved = s_list = nullptr;
    s_savedSize = s_listSize = 0;
    s_hadList = s_changed = false;
}
