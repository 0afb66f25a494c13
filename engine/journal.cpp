// The registry journal: what each noted change was before, and taking the changes back,
// so that an installation that does not finish leaves the registry as it found it.
#include "engine/journal.h"
#include "base/memory.h"
#include "base/text.h"

// One noted change: what taking it back does.
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

namespace {

UndoEntry* NewEntry(Journal* j, Undo what, HKEY root, const char* key, const char* name)
{
    if (!j->entries)
        return nullptr;
    if (j->count >= j->room)
        return nullptr;
    UndoEntry* e = &j->entries[j->count];
    e->what = what;
    e->root = root;
    e->defaultValue = name == nullptr;
    e->type = REG_NONE;
    e->size = 0;
    if (!TextCopy(e->key, key) || !TextCopy(e->name, name ? name : ""))
        return nullptr;
    ++j->count;
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
int NoteMissingKeys(Journal* j, HKEY root, const char* key)
{
    if (!j->entries || KeyExists(root, key))
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
        if (!KeyExists(root, parent) && !NewEntry(j, Undo::DeleteKey, root, parent, nullptr))
            return 0;
    }
    return 1;
}

// Notes what value `name` of open key `k` holds now. 0 when it cannot be kept.
int NoteValue(Journal* j, HKEY k, HKEY root, const char* key, const char* name)
{
    if (!j->entries)
        return 1;
    DWORD type = 0, size = kDataRoom;
    BYTE data[kDataRoom];
    const LONG r = RegQueryValueExA(k, name, nullptr, &type, data, &size);
    if (r == ERROR_FILE_NOT_FOUND)
        return NewEntry(j, Undo::DeleteValue, root, key, name) != nullptr;
    if (r != ERROR_SUCCESS)
        return 0; // too large to keep, or unreadable: not changed
    UndoEntry* e = NewEntry(j, Undo::RestoreValue, root, key, name);
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

int JournalOpen(Journal* j, int changes)
{
    JournalClose(j);
    j->room = changes > 0 ? changes : 1;
    j->entries = static_cast<UndoEntry*>(GlobalTake(&j->handle, (SIZE_T)j->room * sizeof(UndoEntry)));
    if (!j->entries) {
        JournalClose(j);
        return 0;
    }
    return 1;
}

void JournalClose(Journal* j)
{
    GlobalDrop(&j->handle);
    j->entries = nullptr;
    j->count = j->room = 0;
}

void JournalRollBack(Journal* j)
{
    for (int i = j->count - 1; i >= 0; --i)
        TakeBack(j->entries[i]);
    j->count = 0;
}

int JournalSetValue(Journal* j, HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size)
{
    if (!NoteMissingKeys(j, root, key))
        return 0;
    HKEY k;
    // RegCreateKeyA asks for full access, more than writing values needs. Kept as it is:
    // the entries are written by an administrator's setup, and a narrower request would
    // behave differently only where the old call already failed.
    if (RegCreateKeyA(root, key, &k) != ERROR_SUCCESS)
        return 0;
    const int done = NoteValue(j, k, root, key, name) &&
                     RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(k);
    return done;
}

void JournalDeleteEmptyKey(Journal* j, HKEY root, const char* key)
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
    const int mark = j->count;
    for (DWORD i = 0; !keep && i < values; ++i) {
        char name[MAX_PATH];
        DWORD nameLen = MAX_PATH;
        if (RegEnumValueA(k, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            keep = 1;
        else
            keep = !NoteValue(j, k, root, key, nameLen ? name : nullptr);
    }
    RegCloseKey(k);
    if (!keep && !(j->entries == nullptr || NewEntry(j, Undo::CreateKey, root, key, nullptr)))
        keep = 1;
    if (keep) {
        j->count = mark;
        return;
    }
    RegDeleteKeyA(root, key);
}
