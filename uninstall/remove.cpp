// The removal: the plan's files but the kept ones and the shared ones still counted, the
// registration's entries that are still this package's, and the directories the setup
// creates once nothing is left in them. Nothing is removed that the plan or the
// registration table does not name.
#include "uninstall/uninstall.h"
#include "uninstall/rules.h"
#include "install/install.h"
#include "install/registration.h"
#include "base/format.h"
#include "base/globals.h"
#include "base/log.h"
#include "base/memory.h"
#include "base/path.h"
#include "base/text.h"
#include "res/ids.h"
#include "script/plan.h"
#include "script/fields.h"
#include "script/script.h"

namespace {

// One mark per record of the plan, in plan order: 1 for a file the installation leaves.
HGLOBAL s_keepHandle;
BYTE* s_keep;

// Full paths of what is scheduled for removal at the next restart, so that a directory
// holding only those is scheduled after them.
HGLOBAL s_pendingHandle;
char (*s_pending)[MAX_PATH];
int s_pendingCount;
int s_pendingRoom;

// While a program that was asked to close is still ending, its files are in use for a
// moment: until then a file in use is tried again.
DWORD s_retryUntil;

// A positive decimal number of at most four digits, or 0.
int SmallNumber(const char* text)
{
    int n = 0, digits = 0;
    for (; *text >= '0' && *text <= '9' && digits < 5; ++text, ++digits)
        n = n * 10 + (*text - '0');
    return *text || digits > 4 ? 0 : n;
}

int RecordIndex(int disk, int rec)
{
    return (int)(g_diskStart[disk] - g_diskStart[0]) + rec;
}

void NotePending(const char* path)
{
    if (s_pendingCount < s_pendingRoom)
        TextCopy(s_pending[s_pendingCount++], MAX_PATH, path);
}

int IsPending(const char* path)
{
    for (int i = 0; i < s_pendingCount; ++i)
        if (SamePath(s_pending[i], path))
            return 1;
    return 0;
}

int Gone(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Full form of `path` (".\" and "..\" resolved) in `out` of MAX_PATH. 0 when it has none.
int FullPath(const char* path, char* out)
{
    char* name;
    DWORD len = GetFullPathNameA(path, MAX_PATH, out, &name);
    return len > 0 && len < MAX_PATH;
}

// 1 when `dir` holds nothing but what goes at the next restart.
int OnlyPending(const char* dir)
{
    char pattern[MAX_PATH];
    if (!TextCopy(pattern, dir) || !PathAppend(pattern, "*.*"))
        return 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int only = 1;
    do {
        if (lstrcmpA(fd.cFileName, ".") == 0 || lstrcmpA(fd.cFileName, "..") == 0)
            continue;
        char path[MAX_PATH];
        only = TextCopy(path, dir) && PathAppend(path, fd.cFileName) && IsPending(path);
    } while (only && FindNextFileA(find, &fd));
    FindClose(find);
    return only;
}

// Removes directory `dir` (full path) when it is empty, or schedules it after what it
// still holds when all of that goes at the restart. 1 when it is gone or goes then.
int RemoveDir(const char* dir, Leftovers* left)
{
    if (RemoveDirectoryA(dir)) {
        LogLine("directory %s: removed", dir);
        return 1;
    }
    if (Gone(GetLastError()))
        return 1;
    DWORD attributes = GetFileAttributesA(dir);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 1; // not a directory: nothing of the setup's
    if (OnlyPending(dir) && MoveFileExA(dir, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        NotePending(dir);
        return 1;
    }
    AddLeftover(left, IDS_UNINST_NOT_EMPTY, dir);
    return 0;
}

// 1 when `have` is what the setup writes as `want` for `value`: paths compared as paths
// (an older setup wrote "F:\\VWHEEL.EXE" for the destination "F:\"), texts without
// regard to case.
int SameData(const RegValue& value, const char* have, const char* want)
{
    switch (value.data) {
    case RegData::ControlPanelPath:
        return SamePath(have, want);
    case RegData::UtilityCommand:
    case RegData::UninstallCommand:
        return SameCommand(have, want);
    default:
        return lstrcmpiA(have, want) == 0;
    }
}

// 1 when no value of `step` contradicts what this package writes there: each is missing
// or holds the data composed for this destination.
int StillOurs(const RegStep& step)
{
    HKEY key;
    if (RegOpenKeyExA(RegRootKey(step.root), step.key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 1;
    int ours = 1;
    for (const RegValue& value : step.values) {
        if (value.data == RegData::None)
            continue;
        char want[kPathRoom];
        char have[kPathRoom + 1];
        DWORD size = kPathRoom, type = 0;
        if (!ComposeRegData(value, want)) {
            ours = 0; // the setup never writes a value that does not fit
            break;
        }
        LONG r = RegQueryValueExA(key, value.name, nullptr, &type, reinterpret_cast<BYTE*>(have), &size);
        if (r == ERROR_FILE_NOT_FOUND)
            continue;
        have[r == ERROR_SUCCESS && size <= kPathRoom ? size : 0] = '\0';
        if (r != ERROR_SUCCESS || type != REG_SZ || !SameData(value, have, want)) {
            ours = 0;
            break;
        }
    }
    RegCloseKey(key);
    return ours;
}

// 1 when the key exists; its subkey and value counts then in *subkeys, *values.
int KeyCounts(const RegStep& step, DWORD* subkeys, DWORD* values)
{
    HKEY key;
    if (RegOpenKeyExA(RegRootKey(step.root), step.key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    LONG r = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values, nullptr,
                              nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

void RemoveStep(const RegStep& step, bool ours, Leftovers* left)
{
    HKEY root = RegRootKey(step.root);
    DWORD subkeys = 0, values = 0;
    if (!KeyCounts(step, &subkeys, &values))
        return; // already gone
    if (step.kind == RegKey::Emptied) {
        if (subkeys == 0 && values == 0)
            RegDeleteKeyA(root, step.key);
        return;
    }
    if (!ours) {
        ++left->foreign;
        return;
    }
    const char* rootName = RegRootName(step.root);
    if (step.kind == RegKey::Own) {
        // A subkey that is still there belongs to someone else (or to another copy):
        // the key stays with it.
        if (subkeys == 0 && RegDeleteKeyA(root, step.key) == ERROR_SUCCESS)
            LogLine("registry %s\\%s: removed", rootName, step.key);
        return;
    }
    HKEY key;
    if (RegOpenKeyExA(root, step.key, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (const RegValue& value : step.values)
        if (value.data != RegData::None && RegDeleteValueA(key, value.name) == ERROR_SUCCESS)
            LogLine("registry %s\\%s [%s]: removed", rootName, step.key, value.name ? value.name : "(default)");
    RegCloseKey(key);
}

// Sets the shared-file count of `path` to `count`; 0 removes the value.
void WriteSharedCount(const char* path, long count)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, REG_SHARED_DLLS_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    const DWORD value = (DWORD)count;
    if (count == 0)
        RegDeleteValueA(key, path);
    else
        RegSetValueExA(key, path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// A file of the Windows directories, `target` as the plan composes it and `full` its
// full form: its count goes down, and the file goes when SharedFileFate says so.
void RemoveSharedFile(const char* target, const char* full, int kept, int live, Leftovers* left)
{
    const long count = ReadSharedCount(target);
    const SharedFate fate = SharedFileFate(count, kept, live);
    if (count >= 0 && (fate.count != count || fate.count == 0)) {
        WriteSharedCount(target, fate.count);
        LogLine("shared count %s: %ld, now %ld%s", target, count, fate.count, fate.count ? "" : " (removed)");
    }
    if (fate.removeFile)
        RemoveOneFile(full, true, left);
    else if (GetFileAttributesA(full) != INVALID_FILE_ATTRIBUTES)
        AddLeftover(left, fate.line, full);
}

} // namespace

void AddLeftover(Leftovers* left, int id, const char* arg)
{
    // Kept only whole.
    char line[1025];
    FormatText(line, sizeof line, id, arg);
    LogLine("left %s", line);
    if (id == IDS_UNINST_FAILED)
        ++left->failed;
    if (id == IDS_UNINST_PENDING)
        ++left->pending;
    char* end = left->text + lstrlenA(left->text);
    if (left->more || !TextAppend(left->text, sizeof left->text, left->lines ? "\n" : "") ||
        !TextAppend(left->text, sizeof left->text, line)) {
        *end = '\0';
        ++left->more;
        return;
    }
    ++left->lines;
}

int ReadKeepMarks()
{
    GlobalDrop(&s_keepHandle);
    s_keep = static_cast<BYTE*>(GlobalTake(&s_keepHandle, (SIZE_T)g_totalFiles));
    if (!s_keep)
        return 0;
    // Keep1, Keep2, ... up to the first missing line, each "disk, line" of a disk section.
    for (int n = 1; n <= g_totalFiles; ++n) {
        char key[16], value[kTextRoom], field[kTextRoom];
        wsprintfA(key, "Keep%d", n);
        ReadScriptText(IDS_UNINSTALL, key, "", value, kTextRoom);
        if (!value[0])
            break;
        const char* pos = NextField(value, field);
        int disk = SmallNumber(field) - 1;
        NextField(pos, field);
        int rec = SmallNumber(field) - 1;
        if (PlanRecord(disk, rec))
            s_keep[RecordIndex(disk, rec)] = 1;
    }
    return 1;
}

void RemoveOneFile(const char* path, bool listed, Leftovers* left)
{
    for (;;) {
        if (DeleteFileA(path)) {
            LogLine("file %s: removed", path);
            return;
        }
        DWORD error = GetLastError();
        if (Gone(error))
            return;
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            // The plan names a file; a directory of that name is not the installation's.
            AddLeftover(left, IDS_UNINST_FAILED, path);
            return;
        }
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            if (!SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY))
                break;
            continue;
        }
        if (!FileInUse(error))
            break;
        if ((LONG)(GetTickCount() - s_retryUntil) < 0) {
            Sleep(100);
            continue;
        }
        if (!MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            break;
        NotePending(path);
        if (listed)
            AddLeftover(left, IDS_UNINST_PENDING, path);
        return;
    }
    AddLeftover(left, IDS_UNINST_FAILED, path);
}

int RegisteredHere(char* liveDir)
{
    liveDir[0] = '\0';
    const RegValue* value = nullptr;
    const RegStep* step = FindRegValue(RegData::UninstallCommand, &value);
    HKEY key;
    if (!step || RegOpenKeyExA(RegRootKey(step->root), step->key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 1;
    char have[MAX_PATH + 1], want[kPathRoom];
    DWORD size = MAX_PATH, type = 0;
    const LONG r = RegQueryValueExA(key, value->name, nullptr, &type, reinterpret_cast<BYTE*>(have), &size);
    RegCloseKey(key);
    if (r == ERROR_FILE_NOT_FOUND)
        return 1;
    have[r == ERROR_SUCCESS && type == REG_SZ ? size : 0] = '\0';
    if (ComposeRegData(*value, want) && SameCommand(have, want))
        return 1;
    // The directory of the uninstaller the entry names, for the closing box.
    if (CommandProgram(have, liveDir, MAX_PATH)) {
        char* cut = liveDir;
        for (char* p = liveDir; *p; ++p)
            if (*p == '\\')
                cut = p;
        *cut = '\0';
    }
    return 0;
}

void RemovePlanFiles(const char* selfExe, const char* selfInf, int live, DWORD inUseWaitMs, int* selfNamed,
                     int* infNamed, Leftovers* left)
{
    *selfNamed = *infNamed = 0;
    GlobalDrop(&s_pendingHandle);
    // Room for every file and directory of the plan.
    s_pendingRoom = g_totalFiles + kDirKeyCount + 2;
    s_pending = static_cast<char(*)[MAX_PATH]>(GlobalTake(&s_pendingHandle, (SIZE_T)s_pendingRoom * MAX_PATH));
    if (!s_pending)
        s_pendingRoom = 0;
    s_pendingCount = 0;
    s_retryUntil = GetTickCount() + inUseWaitMs;

    for (int disk = 0; disk < g_diskCount; ++disk) {
        for (int rec = 0; rec < g_fileCounts[disk]; ++rec) {
            const FileRecord* r = PlanRecord(disk, rec);
            char target[kPathRoom], full[MAX_PATH];
            // An empty record (a line the setup refused) or a path that cannot be composed
            // whole was never installed: nothing to remove.
            if (!r || !r->targetName[0] || !TargetPath(disk, rec, target, kPathRoom) || !FullPath(target, full))
                continue;
            const int kept = s_keep && s_keep[RecordIndex(disk, rec)];
            if (SamePath(full, selfExe)) {
                *selfNamed = 1;
            } else if (SamePath(full, selfInf)) {
                *infNamed = 1;
            } else if (r->systemDir) {
                RemoveSharedFile(target, full, kept, live, left);
            } else if (kept) {
                if (GetFileAttributesA(full) != INVALID_FILE_ATTRIBUTES)
                    AddLeftover(left, IDS_UNINST_KEPT, full);
            } else {
                RemoveOneFile(full, true, left);
            }
        }
    }
}

void RemoveRegistration(Leftovers* left)
{
    // Decided before anything goes: a step tied to another is this package's only while
    // that one's values are.
    bool own[kRegStepCount];
    for (int i = 0; i < kRegStepCount; ++i)
        own[i] = StillOurs(kRegSteps[i]);
    for (int i = kRegStepCount - 1; i >= 0; --i) {
        const RegStep& step = kRegSteps[i];
        RemoveStep(step, own[i] && (step.tiedTo < 0 || own[step.tiedTo]), left);
    }
}

void RemoveDirectories(Leftovers* left)
{
    // The setup creates the destination's directories in key order, a parent before its
    // child: the other way round, a child goes before its parent.
    char dest[MAX_PATH];
    if (!FullPath(g_destDir, dest))
        return;
    for (int key = kDirKeyCount - 1; key >= 0; --key) {
        if (!DirKeyIsSubDirectory(key))
            continue;
        const char* name = g_dirNames[key];
        char path[MAX_PATH], full[MAX_PATH];
        if (!name[0] || !TextCopy(path, dest) || !PathAppend(path, name) || !FullPath(path, full) ||
            SamePath(full, dest) || !DirMayGo(full, dest, g_windowsDir))
            continue; // "." is the destination itself, which goes last
        RemoveDir(full, left);
    }
    if (DirMayGo(dest, dest, g_windowsDir))
        RemoveDir(dest, left);
}

void FreeRemovalState()
{
    GlobalDrop(&s_keepHandle);
    s_keep = nullptr;
    GlobalDrop(&s_pendingHandle);
    s_pending = nullptr;
    s_pendingRoom = s_pendingCount = 0;
}

void ForgetReplacements()
{
    // An upgrade that waits for the restart would bring back a file removed now.
    RestartListRead();
    for (int disk = 0; disk < g_diskCount; ++disk)
        for (int rec = 0; rec < g_fileCounts[disk]; ++rec) {
            char target[kPathRoom];
            const FileRecord* r = PlanRecord(disk, rec);
            if (r && r->targetName[0] && TargetPath(disk, rec, target, kPathRoom) &&
                (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES || RestartListDeletes(target)))
                RestartListForget(target, 1);
        }
    RestartListWrite();
    RestartListFree();
    // The staged files those replacements named are no longer named: they go.
    SweepPlanFolders();
}
