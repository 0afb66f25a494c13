// The removal: the plan's files but the kept ones and the shared ones still counted, the
// registration's entries that are still this package's, and the directories the setup
// creates once nothing is left in them. Nothing is removed that the plan or the
// registration table does not name.
#include "uninstall/uninstall.h"
#include "uninstall/rules.h"
#include "engine/copy.h"
#include "engine/counts.h"
#include "engine/inventory.h"
#include "engine/registration.h"
#include "engine/restartlist.h"
#include "engine/sweep.h"
#include "base/format.h"
#include "base/globals.h"
#include "base/loadtext.h"
#include "base/log.h"
#include "base/memory.h"
#include "base/path.h"
#include "base/text.h"
#include "res/ids.h"
#include "script/plan.h"
#include "script/fields.h"
#include "script/script.h"

namespace {

// A positive decimal number of at most four digits, or 0.
int SmallNumber(const char* text)
{
    int n = 0, digits = 0;
    for (; *text >= '0' && *text <= '9' && digits < 5; ++text, ++digits)
        n = n * 10 + (*text - '0');
    return *text || digits > 4 ? 0 : n;
}

void NotePending(Removal* rm, const char* path)
{
    if (rm->pendingCount < rm->pendingRoom)
        TextCopy(rm->pending[rm->pendingCount++], MAX_PATH, path);
}

int IsPending(const Removal* rm, const char* path)
{
    for (int i = 0; i < rm->pendingCount; ++i)
        if (SamePath(rm->pending[i], path))
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
int OnlyPending(const Removal* rm, const char* dir)
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
        only = TextCopy(path, dir) && PathAppend(path, fd.cFileName) && IsPending(rm, path);
    } while (only && FindNextFileA(find, &fd));
    FindClose(find);
    return only;
}

// Removes directory `dir` (full path) when it is empty, or schedules it after what it
// still holds when all of that goes at the restart. 1 when it is gone or goes then.
int RemoveDir(Removal* rm, const char* dir)
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
    if (OnlyPending(rm, dir) && MoveFileExA(dir, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        NotePending(rm, dir);
        return 1;
    }
    AddLeftover(&rm->left, IDS_UNINST_NOT_EMPTY, dir);
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
    case RegData::Destination:
    case RegData::UtilityPath:
        return SamePath(have, want);
    case RegData::UtilityCommand:
    case RegData::UninstallCommand:
    case RegData::QuietUninstallCommand:
        return SameCommand(have, want);
    default:
        return lstrcmpiA(have, want) == 0;
    }
}

// 1 when no value of `step` contradicts what this package writes there: each is missing
// or holds the data composed for this destination.
int StillOurs(const RegStep& step, const char* dest)
{
    HKEY key;
    if (RegOpenKeyExA(RegRootKey(step.root), step.key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 1;
    int ours = 1;
    for (const RegValue& value : step.values) {
        // What describes the installation (its version, its size) tells nothing of whose
        // entry it is.
        if (value.data == RegData::None || RegDataDescribes(value.data))
            continue;
        char want[kPathRoom];
        char have[kPathRoom + 1];
        DWORD size = kPathRoom, type = 0;
        if (!ComposeRegData(value, dest, want)) {
            ours = 0; // the setup never writes a value that does not fit
            break;
        }
        LONG r = RegQueryValueExA(key, value.name, nullptr, &type, reinterpret_cast<BYTE*>(have), &size);
        if (r == ERROR_FILE_NOT_FOUND)
            continue;
        have[r == ERROR_SUCCESS && size <= kPathRoom ? size : 0] = '\0';
        // A number is compared as the decimal text the setup composes it from.
        if (r == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(DWORD) && RegDataType(value.data) == REG_DWORD)
            wsprintfA(have, "%lu", *reinterpret_cast<const DWORD*>(have));
        else if (type != REG_SZ)
            r = ERROR_INVALID_DATA;
        if (r != ERROR_SUCCESS || !SameData(value, have, want)) {
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
void RemoveSharedFile(Removal* rm, const char* target, const char* full, int kept)
{
    const long count = ReadSharedCount(target);
    const SharedFate fate = SharedFileFate(count, kept, rm->live);
    if (count >= 0 && (fate.count != count || fate.count == 0)) {
        WriteSharedCount(target, fate.count);
        LogLine("shared count %s: %ld, now %ld%s", target, count, fate.count, fate.count ? "" : " (removed)");
    }
    if (fate.removeFile)
        RemoveOneFile(rm, full, true);
    else if (GetFileAttributesA(full) == INVALID_FILE_ATTRIBUTES)
        return;
    else if (fate.line == IDS_UNINST_SHARED && !rm->live && rm->left.liveDir[0])
        AddLeftover(&rm->left, IDS_UNINST_LIVE_USES, full, rm->left.liveDir); // its last count is the live one's
    else
        AddLeftover(&rm->left, fate.line, full);
}

} // namespace

void AddLeftover(Leftovers* left, int id, const char* arg, const char* arg2)
{
    // Kept only whole.
    char line[1025];
    FormatText(line, sizeof line, id, arg, arg2 ? arg2 : "");
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

int ReadKeepMarks(Removal* rm)
{
    GlobalDrop(&rm->keepHandle);
    rm->keep = static_cast<BYTE*>(GlobalTake(&rm->keepHandle, (SIZE_T)g_totalFiles));
    if (!rm->keep)
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
            rm->keep[RecordIndex(disk, rec)] = 1;
    }
    return 1;
}

void RemoveOneFile(Removal* rm, const char* path, bool listed)
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
            AddLeftover(&rm->left, IDS_UNINST_FAILED, path);
            return;
        }
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            if (!SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY))
                break;
            continue;
        }
        if (!FileInUse(error))
            break;
        if ((LONG)(GetTickCount() - rm->retryUntil) < 0) {
            Sleep(100);
            continue;
        }
        if (!MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            break;
        NotePending(rm, path);
        if (listed)
            AddLeftover(&rm->left, IDS_UNINST_PENDING, path);
        return;
    }
    AddLeftover(&rm->left, IDS_UNINST_FAILED, path);
}

int RegisteredHere(const char* dest, char* liveDir)
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
    if (ComposeRegData(*value, dest, want) && SameCommand(have, want))
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

namespace {

// 1 when `dir` still holds an installation of the product: its UNINSTAL.INF names the
// same product. A folder that cannot be looked at counts as holding it.
int HoldsInstallation(const char* dir)
{
    char inf[MAX_PATH], section[kTextRoom], product[kProductRoom];
    if (!dir[0] || !TextCopy(inf, dir) || !PathAppend(inf, "UNINSTAL.INF"))
        return 1;
    if (GetFileAttributesA(inf) == INVALID_FILE_ATTRIBUTES)
        return !Gone(GetLastError());
    TextCopy(section, LoadText(IDS_MAIN));
    GetPrivateProfileStringA(section, LoadText(IDS_PRODUCTNAME), "", product, kProductRoom, inf);
    return lstrcmpiA(product, g_productName) == 0;
}

} // namespace

void DecideLive(Removal* rm)
{
    TextCopy(rm->regDest, rm->dest);
    rm->live = RegisteredHere(rm->dest, rm->left.liveDir);
    if (rm->live || HoldsInstallation(rm->left.liveDir))
        return;
    // The folder the registration names was moved or removed: nothing else can remove
    // its registration and counts now, so this copy takes its place.
    LogLine("the registration names %s, which holds no installation of %s: removed with this one",
            rm->left.liveDir, g_productName);
    TextCopy(rm->regDest, rm->left.liveDir);
    rm->left.liveDir[0] = '\0';
    rm->live = 1;
}

void RemovePlanFiles(Removal* rm, const char* selfExe, const char* selfInf, DWORD inUseWaitMs, int* selfNamed,
                     int* infNamed)
{
    *selfNamed = *infNamed = 0;
    GlobalDrop(&rm->pendingHandle);
    // Room for every file and directory of the plan.
    rm->pendingRoom = g_totalFiles + kDirKeyCount + 2;
    rm->pending = static_cast<char(*)[MAX_PATH]>(GlobalTake(&rm->pendingHandle, (SIZE_T)rm->pendingRoom * MAX_PATH));
    if (!rm->pending)
        rm->pendingRoom = 0;
    rm->pendingCount = 0;
    rm->retryUntil = GetTickCount() + inUseWaitMs;

    ForEachRecord([&](int disk, int rec) {
        const FileRecord* r = PlanRecord(disk, rec);
        char target[kPathRoom], full[MAX_PATH];
        // An empty record (a line the setup refused) or a path that cannot be composed
        // whole was never installed: nothing to remove.
        if (!r || !r->targetName[0] || !TargetPath(rm->dest, disk, rec, target, kPathRoom) || !FullPath(target, full))
            return;
        const int kept = rm->keep && rm->keep[RecordIndex(disk, rec)];
        if (SamePath(full, selfExe)) {
            *selfNamed = 1;
        } else if (SamePath(full, selfInf)) {
            *infNamed = 1;
        } else if (r->systemDir) {
            RemoveSharedFile(rm, target, full, kept);
        } else if (kept) {
            if (GetFileAttributesA(full) != INVALID_FILE_ATTRIBUTES)
                AddLeftover(&rm->left, IDS_UNINST_KEPT, full);
        } else {
            RemoveOneFile(rm, full, true);
        }
    });
}

void RemoveRegistration(Removal* rm)
{
    // Decided before anything goes: a step tied to another is this package's only while
    // that one's values are.
    bool own[kRegStepCount];
    for (int i = 0; i < kRegStepCount; ++i)
        own[i] = StillOurs(kRegSteps[i], rm->regDest[0] ? rm->regDest : rm->dest);
    for (int i = kRegStepCount - 1; i >= 0; --i) {
        const RegStep& step = kRegSteps[i];
        RemoveStep(step, own[i] && (step.tiedTo < 0 || own[step.tiedTo]), &rm->left);
    }
}

void RemoveDirectories(Removal* rm)
{
    // The setup creates the destination's directories in key order, a parent before its
    // child: the other way round, a child goes before its parent.
    char dest[MAX_PATH];
    if (!FullPath(rm->dest, dest))
        return;
    for (int key = kDirKeyCount - 1; key >= 0; --key) {
        if (!DirKeyIsSubDirectory(key))
            continue;
        const char* name = g_dirNames[key];
        char path[MAX_PATH], full[MAX_PATH];
        if (!name[0] || !TextCopy(path, dest) || !PathAppend(path, name) || !FullPath(path, full) ||
            SamePath(full, dest) || !DirMayGo(full, dest, g_windowsDir))
            continue; // "." is the destination itself, which goes last
        RemoveDir(rm, full);
    }
    if (DirMayGo(dest, dest, g_windowsDir))
        RemoveDir(rm, dest);
}

void FreeRemovalState(Removal* rm)
{
    GlobalDrop(&rm->keepHandle);
    rm->keep = nullptr;
    GlobalDrop(&rm->pendingHandle);
    rm->pending = nullptr;
    rm->pendingRoom = rm->pendingCount = 0;
}

void ForgetReplacements(const char* dest)
{
    // An upgrade that waits for the restart would bring back a file removed now.
    RestartList list = {};
    RestartListRead(&list);
    ForEachRecord([&](int disk, int rec) {
        char target[kPathRoom];
        const FileRecord* r = PlanRecord(disk, rec);
        if (r && r->targetName[0] && TargetPath(dest, disk, rec, target, kPathRoom) &&
            (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES || RestartListDeletes(&list, target)))
            RestartListForget(&list, target, 1);
    });
    RestartListWrite(&list);
    RestartListFree(&list);
    // The staged files those replacements named are no longer named: they go.
    SweepPlanFolders(dest);
}

namespace {

// Removes the uninstaller's script and the uninstaller itself. A running program's file
// cannot be deleted, but it can be renamed: it moves out of the destination to a
// temporary name on the same volume, which goes at the next restart. Nothing pending then
// names the destination, so the destination goes now, and an installation made again
// before the restart keeps its own uninstaller; that parked copy is the uninstaller's own
// housekeeping, of no concern to the user. Where it cannot move (the temporary directory
// on another volume), it is scheduled for the restart where it is. 1 when the program
// file stays in the destination until the restart.
int RemoveSelf(Removal* rm, const char* selfExe, const char* selfInf, int selfNamed, int infNamed)
{
    if (infNamed)
        RemoveOneFile(rm, selfInf, true);
    if (!selfNamed || DeleteFileA(selfExe))
        return 0;
    char tempDir[MAX_PATH], parked[MAX_PATH];
    const DWORD len = GetTempPathA(MAX_PATH, tempDir);
    if (len && len < MAX_PATH && GetTempFileNameA(tempDir, "zun", 0, parked)) {
        if (MoveFileExA(selfExe, parked, MOVEFILE_REPLACE_EXISTING) &&
            MoveFileExA(parked, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            return 0;
        DeleteFileA(parked);
    }
    RemoveOneFile(rm, selfExe, false);
    return GetFileAttributesA(selfExe) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

// The order in which an installation is taken apart.
Outcome RunRemoval(Removal* rm, const char* selfExe, const char* selfInf, DWORD inUseWaitMs)
{
    // What a killed setup left beside the package's files goes first (a file it had moved
    // aside comes back, to be removed like the rest).
    SweepPlanFolders(rm->dest);
    int selfNamed, infNamed;
    RemovePlanFiles(rm, selfExe, selfInf, inUseWaitMs, &selfNamed, &infNamed);
    // The installation's inventory of the files it put in place goes with them.
    char inventory[MAX_PATH];
    if (TextCopy(inventory, rm->dest) && PathAppend(inventory, kInventoryFile))
        RemoveOneFile(rm, inventory, true);
    ForgetReplacements(rm->dest);
    if (rm->live)
        RemoveRegistration(rm);
    rm->selfPending = RemoveSelf(rm, selfExe, selfInf, selfNamed, infNamed);
    RemoveDirectories(rm);
    // Something that should have gone and stayed, something of the package that goes at
    // the restart, or all of it gone.
    if (rm->left.failed)
        return Outcome::Failed;
    return rm->left.pending || rm->selfPending ? Outcome::RestartNeeded : Outcome::Done;
}
