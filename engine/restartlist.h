// The system's list of file operations carried out at the next restart
// (PendingFileRenameOperations of the Session Manager key).
#pragma once
#include <windows.h>

constexpr char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingRenamesValue[] = "PendingFileRenameOperations";

// The list as read (saved, savedSize bytes; hadList false when there was no value), and
// the working copy that forgetting edits in place (list, listSize).
struct RestartList {
    HGLOBAL savedHandle, listHandle;
    char* saved;
    char* list;
    DWORD savedSize, listSize;
    bool hadList;
    bool changed;
};

// Reads the list and keeps it as it was. 0 when it is there but cannot be read.
int RestartListRead(RestartList* r);
// 1 when an operation of the list takes its file from `path` (a staged file waiting).
int RestartListNamesSource(const RestartList* r, const char* path);
// 1 when an operation of the list deletes `path`.
int RestartListDeletes(const RestartList* r, const char* path);
// Takes out of the list read every operation that would replace `path` and, unless
// `replacementsOnly`, every one that would delete or move it (compared as paths).
// Returns how many.
int RestartListForget(RestartList* r, const char* path, int replacementsOnly = 0);
// Writes the list back when something was taken out. 0 when it cannot be written.
int RestartListWrite(RestartList* r);
// Puts the list back as it was read.
void RestartListRestore(const RestartList* r);
void RestartListFree(RestartList* r);
