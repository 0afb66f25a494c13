// Registry changes that can be taken back: while the journal is open, every value the
// installation writes and every key it creates or deletes is noted with what was there
// before. With the journal closed the same calls simply write.
#pragma once
#include <windows.h>

struct UndoEntry;

struct Journal {
    HGLOBAL handle;
    UndoEntry* entries; // nullptr: closed
    int count;
    int room;
};

// Opens the journal with room for `changes` noted changes. 0 when there is no memory.
int JournalOpen(Journal* j, int changes);
// Forgets what was noted: the changes stay.
void JournalClose(Journal* j);
// Takes back every change noted, newest first.
void JournalRollBack(Journal* j);
// Writes value `name` (nullptr: the default value) of `key`, created when missing, noting
// what was there. 1 when written; 0 when it could not be written or noted.
int JournalSetValue(Journal* j, HKEY root, const char* key, const char* name, DWORD type, const void* data,
                    DWORD size);
// Deletes `key` when it has no subkeys, noting it and its values (when they cannot be
// noted, the key stays).
void JournalDeleteEmptyKey(Journal* j, HKEY root, const char* key);
