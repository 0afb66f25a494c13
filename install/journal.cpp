// Registry changes that can be taken back: while the journal is open, every value the
// installation writes and every key it creates or deletes is noted with what was there
// before, so that an installation that does not finish leaves the registry as it found
// it. With the journal closed the same calls simply write.
#include "install/install.h"
#include "base/memory.h"
#include "base/text.h"

namespace {

enum class Undo : BYTE {
    RestoreValue, // the value held `data` before: written back
    DeleteValue,  // the value was not there: deleted again
    DeleteKey,    // the key was created: deleted again
    CreateKey,    // the key was deleted: created again (its values follow)
};

constexpr int kKeyRoom = 192;
constexpr int kDataRoom = 520;

struct UndoEntry {
    Undo what;
    HKEY root;
    bool defaultValue;
    DWORD type;
    DWORD size;
    char key[kKeyRoom];
    char name[MAX_PATH];
    BYTE data[kDataRoom];
};

HGLOBAL s_handle;
UndoEntry* s_entries;
int s_count;
int s_room;

UndoEntry* NewEntry(Undo what, HKEY root, const char* key, const char* name)
{
    if (!s_entries)
        return nullptr;
    if (s_count >= s_room)
        return nullptr;
    UndoEntry* e = &s_entries[s_count];
    e->what = what;
    e->root = root;
    e->defaultValue = name == nullptr;
    e->type = REG_NONE;
    e->size = 0;
    if (!TextCopy(e->key, key) || !TextCopy(e->name, name ? name : ""))
        return nullptr;
    ++s_count;
    return e;
}

int KeyExists(HKEY root, const char* key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(k);
    return 1;
}

// Notes every key of `key`'s path that does not exist yet, outermost first, so that
// taking them back (newest first) deletes the innermost first. 0 when the journal has no
// room for them.
int NoteMissingKeys(HKEY root, const char* key)
{
    if (!s_entries || KeyExists(root, key))
        return 1;
    char path[kKeyRoom];
    if (!TextCopy(path, key))
        return 0;
    // The backslashes at which the path's parents end, outermost first.
    int ends[32], n = 0;
    for (int i = 0; path[i] && n < 31; ++i)
        if (path[i] == '\\')
            ends[n++] = i;
    ends[n++] = lstrlenA(path);
    for (int i = 0; i < n; ++i) {
        char parent[kKeyRoom];
        lstrcpynA(parent, path, ends[i] + 1);
        if (!KeyExists(root, parent) && !NewEntry(Undo::DeleteKey, root, parent, nullptr))
            return 0;
    }
    return 1;
}

// Notes what value `name` of open key `k` holds now. 0 when it cannot be kept.
int NoteValue(HKEY k, HKEY root, const char* key, const char* name)
{
    if (!s_entries)
        return 1;
    DWORD type = 0, size = kDataRoom;
    BYTE data[kDataRoom];
    const LONG r = RegQueryValueExA(k, name, nullptr, &type, data, &size);
    if (r == ERROR_FILE_NOT_FOUND)
        return NewEntry(Undo::DeleteValue, root, key, name) != nullptr;
    if (r != ERROR_SUCCESS)
        return 0; // too large to keep, or unreadable: not changed
    UndoEntry* e = NewEntry(Undo::RestoreValue, root, key, name);
    if (!e)
        return 0;
    e->type = type;
    e->size = size;
    CopyMemory(e->data, data, size);
    return 1;
}

void TakeBack(const UndoEntry& e)
{
    const char* name = e.defaultValue ? nullptr : e.name;
    HKEY k;
    switch (e.what) {
    case Undo::DeleteKey:
        RegDeleteKeyA(e.root, e.key);
        return;
    case Undo::CreateKey:
        if (RegCreateKeyA(e.root, e.key, &k) == ERROR_SUCCESS)
            RegCloseKey(k);
        return;
    case Undo::DeleteValue:
        if (RegOpenKeyExA(e.root, e.key, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
            RegDeleteValueA(k, name);
            RegCloseKey(k);
        }
        return;
    case Undo::RestoreValue:
        if (RegCreateKeyA(e.root, e.key, &k) == ERROR_SUCCESS) {
            RegSetValueExA(k, name, 0, e.type, e.data, e.size);
            RegCloseKey(k);
        }
        return;
    }
}

} // namespace

int JournalOpen(int changes)
{
    JournalClose();
    s_room = changes > 0 ? changes : 1;
    s_entries = static_cast<UndoEntry*>(GlobalTake(&s_handle, (SIZE_T)s_room * sizeof(UndoEntry)));
    if (!s_entries) {
        JournalClose();
        return 0;
    }
    return 1;
}

void JournalClose()
{
    GlobalDrop(&s_handle);
    s_entries = nullptr;
    s_count = s_room = 0;
}

void JournalRollBack()
{
    for (int i = s_count - 1; i >= 0; --i)
        TakeBack(s_entries[i]);
    s_count = 0;
}

int JournalSetValue(HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size)
{
    if (!NoteMissingKeys(root, key))
        return 0;
    HKEY k;
    // RegCreateKeyA asks for full access, more than writing values needs. Kept as it is:
    // the entries are written by an administrator's setup, and a narrower request would
    // behave differently only where the old call already failed.
    if (RegCreateKeyA(root, key, &k) != ERROR_SUCCESS)
        return 0;
    const int done = NoteValue(k, root, key, name) &&
                     RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(k);
    return done;
}

void JournalDeleteEmptyKey(HKEY root, const char* key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return;
    DWORD subkeys = 0, values = 0;
    int keep = RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                                nullptr, nullptr) != ERROR_SUCCESS ||
               subkeys > 0;
    // Its values are noted first, so that the key comes back with them; a value that
    // cannot be noted keeps the key.
    const int mark = s_count;
    for (DWORD i = 0; !keep && i < values; ++i) {
        char name[MAX_PATH];
        DWORD nameLen = MAX_PATH;
        if (RegEnumValueA(k, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            keep = 1;
        else
            keep = !NoteValue(k, root, key, nameLen ? name : nullptr);
    }
    RegCloseKey(k);
    if (!keep && !(s_entries == nullptr || NewEntry(Undo::CreateKey, root, key, nullptr)))
        keep = 1;
    if (keep) {
        s_count = mark;
        return;
    }
    RegDeleteKeyA(root, key);
}
