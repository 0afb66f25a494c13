// The installation as one change: every file is staged whole (beside its target, or, for
// a destination created for this run, in that destination built under a staging name),
// then all are put in place, then the registration and the shared-file counts are written
// through the registry journal. Whatever fails before the end (or a Cancel) puts
// everything back: staged files removed, replaced files restored, the registry and the
// restart list as they were, the directories this run created removed when empty.
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

namespace {

// Where each record of the plan stands.
enum class Step : BYTE {
    None,      // not staged (or not reached)
    Staged,    // written whole under its staged name
    Created,   // put in place where there was no file
    Replaced,  // put in place; the previous file kept under its backup name
    AtRestart, // target in use: the staged file replaces it at the next restart
};

struct FileStep {
    Step step;
    BYTE existed; // the target was there when the file was staged
    BYTE attempt; // which staged name (0: the first)
    BYTE inRoot;  // staged under its own name in the staging destination
};

constexpr char kStagedMark[] = ".~zn";
constexpr char kBackupMark[] = ".~zo";
constexpr char kRootMark[] = ".~zd";
constexpr int kStagedNames = 10;

HGLOBAL s_stepsHandle;
FileStep* s_steps;
int s_stepCount;
int s_createdDirs;       // bit k: the directory of key k was created by this run
int s_destCreated;       // the destination itself was created for this run
bool s_destCounted;      // the destination held UNINSTAL.INF before: its files are counted
bool s_restartTouched;   // the restart list was changed by this run
int s_restartNeeded;
// A destination created for this run is staged whole: "<destination>.~zd" takes the
// package's files under their own names, and one rename of the directory puts them all
// in place. Empty when the destination existed before (each file is staged beside its
// target then).
char s_stageRoot[MAX_PATH];
bool s_rootPlaced; // the staging destination has been renamed to the destination

int RecordNumber(int disk, int rec)
{
    return (int)(g_diskStart[disk] - g_diskStart[0]) + rec;
}

FileStep* StepOf(int disk, int rec)
{
    const int n = PlanRecord(disk, rec) ? RecordNumber(disk, rec) : -1;
    return s_steps && n >= 0 && n < s_stepCount ? &s_steps[n] : nullptr;
}

// `target` + mark + record number (+ "-" attempt) in `out` of MAX_PATH.
int SideName(const char* target, const char* mark, int number, int attempt, char* out)
{
    char tail[32];
    if (attempt)
        FormatWith(tail, sizeof tail, "%s%d-%d", mark, number + 1, attempt);
    else
        FormatWith(tail, sizeof tail, "%s%d", mark, number + 1);
    return TextCopy(out, MAX_PATH, target) && TextAppend(out, MAX_PATH, tail);
}

// 'n' for a staged name, 'o' for a backup name, 0 for anything else; the name of the
// target it stands beside in `original` (room MAX_PATH).
char SideNameKind(const char* name, char* original)
{
    const char* mark = nullptr;
    for (const char* p = name; *p; ++p)
        if (p[0] == '.' && p[1] == '~' && p[2] == 'z')
            mark = p;
    if (!mark || mark == name || (mark[3] != 'n' && mark[3] != 'o'))
        return 0;
    const char* p = mark + 4;
    if (*p < '0' || *p > '9')
        return 0;
    while (*p >= '0' && *p <= '9')
        ++p;
    if (*p == '-' && p[1] >= '0' && p[1] <= '9')
        for (++p; *p >= '0' && *p <= '9'; ++p) {
        }
    if (*p)
        return 0;
    lstrcpynA(original, name, (int)(mark - name) + 1);
    return mark[3];
}

// Every folder the plan puts files in: the destination's sub-directories and the
// Windows directories.
template <typename Visit> void EachPlanFolder(Visit visit)
{
    for (int key = 0; key < kDirKeyCount; ++key) {
        char dir[MAX_PATH];
        const char* suffix = DirKeyWindowsSuffix(key);
        if (!suffix && key > 0 && !g_dirNames[key][0])
            continue; // an unused sub-directory key: the destination, visited for RootDir
        if (suffix ? TextCopy(dir, g_windowsDir) && TextAppend(dir, suffix)
                   : TextCopy(dir, g_destDir) && PathAppend(dir, g_dirNames[key]))
            visit(dir);
    }
}

struct Paths {
    char target[kPathRoom];
    char staged[MAX_PATH];
    char backup[MAX_PATH];
};

int RecordPaths(int disk, int rec, const FileStep& s, Paths* p)
{
    const int n = RecordNumber(disk, rec);
    if (!TargetPath(disk, rec, p->target, kPathRoom))
        return 0;
    if (s.inRoot) {
        const FileRecord* r = PlanRecord(disk, rec);
        p->backup[0] = '\0';
        return TextCopy(p->staged, MAX_PATH, s_stageRoot) && PathAppend(p->staged, MAX_PATH, r->targetDir) &&
               PathAppend(p->staged, MAX_PATH, r->targetName);
    }
    return SideName(p->target, kStagedMark, n, s.attempt, p->staged) && SideName(p->target, kBackupMark, n, 0, p->backup);
}

// The staging destination of `dest`: its plain form and the mark, in `out` of MAX_PATH.
int StageRootOf(const char* dest, char* out)
{
    return PlainPath(dest, out, MAX_PATH) && TextAppend(out, MAX_PATH, kRootMark);
}

// Removes the tree of a staging destination that a killed run left (the name is the
// installation's own). Not deeper than the plan's directories can reach.
void RemoveStagedTree(const char* dir, int depth = 0)
{
    char pattern[MAX_PATH];
    if (depth > 16 || !TextCopy(pattern, dir) || !PathAppend(pattern, "*"))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern, &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            char path[MAX_PATH];
            if (lstrcmpA(fd.cFileName, ".") == 0 || lstrcmpA(fd.cFileName, "..") == 0 || !TextCopy(path, dir) ||
                !PathAppend(path, fd.cFileName))
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveStagedTree(path, depth + 1);
            else
                DeleteFileA(path);
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(dir);
}

template <typename Visit> void EachStep(Visit visit)
{
    for (int disk = 0; disk < g_diskCount; ++disk)
        for (int rec = 0; rec < g_fileCounts[disk]; ++rec) {
            FileStep* s = StepOf(disk, rec);
            Paths p;
            if (s && s->step != Step::None && RecordPaths(disk, rec, *s, &p))
                visit(disk, rec, s, p);
        }
}

// 1 when the record's target lies in a sub-directory this run created, where no file can
// be there before.
int InFreshDirectory(const FileRecord* r)
{
    if (!r || r->systemDir)
        return 0;
    for (int key = 0; key < kDirKeyCount; ++key)
        if ((s_createdDirs >> key) & 1 && lstrcmpA(r->targetDir, g_dirNames[key]) == 0)
            return 1;
    return 0;
}

// The log's line for a staged file: where from, where to, expanded or copied, its size.
void LogStaged(int disk, int rec, const char* target)
{
    Paths p;
    const FileStep* s = StepOf(disk, rec);
    char source[kPathRoom];
    if (!LogIsOpen() || !s || !RecordPaths(disk, rec, *s, &p) || !SourcePath(disk, rec, source, kPathRoom))
        return;
    // A compressed source begins with the LZ header "SZDD".
    char head[4] = {};
    DWORD got = 0;
    HANDLE f = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        ReadFile(f, head, sizeof head, &got, nullptr);
        CloseHandle(f);
    }
    const bool packed = got == 4 && head[0] == 'S' && head[1] == 'Z' && head[2] == 'D' && head[3] == 'D';
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(p.staged, GetFileExInfoStandard, &data);
    LogLine("file %s -> %s: %s, %lu bytes, staged as %s", source, target, packed ? "expanded" : "copied",
            data.nFileSizeLow, p.staged);
}

// Puts one staged file in place. 0 when it cannot be, the target then as it was.
int PutInPlace(FileStep* s, const Paths& p)
{
    if (s->inRoot)
        return 1; // in place with its directory
    if (!s->existed) {
        if (MoveFileA(p.staged, p.target)) {
            s->step = Step::Created;
            LogLine("file %s: installed", p.target);
            return 1;
        }
        // A file of that name came since: an earlier record of this plan with the same
        // target. It is replaced like any other.
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return 0;
    }
    if (MoveFileA(p.target, p.backup)) {
        if (MoveFileA(p.staged, p.target)) {
            s->step = Step::Replaced;
            LogLine("file %s: replaced", p.target);
            return 1;
        }
        MoveFileA(p.backup, p.target);
        return 0;
    }
    if (!FileInUse(GetLastError()))
        return 0;
    // A program holds it: the staged file takes its place at the next restart.
    if (!MoveFileExA(p.staged, p.target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
        return 0;
    s_restartTouched = true;
    s_restartNeeded = 1;
    s->step = Step::AtRestart;
    LogLine("file %s: in use, replaced at the restart by %s", p.target, p.staged);
    return 1;
}

void PutBack(FileStep* s, const Paths& p)
{
    if (s->inRoot) {
        DeleteFileA(s_rootPlaced ? p.target : p.staged);
        s->step = Step::None;
        return;
    }
    switch (s->step) {
    case Step::Created:
        DeleteFileA(p.target);
        break;
    case Step::Replaced:
        MoveFileExA(p.backup, p.target, MOVEFILE_REPLACE_EXISTING);
        break;
    case Step::Staged:
    case Step::AtRestart:
        DeleteFileA(p.staged);
        break;
    case Step::None:
        break;
    }
    s->step = Step::None;
}

void PutEverythingBack()
{
    LogLine("putting everything back as it was");
    JournalRollBack();
    JournalClose();
    if (s_restartTouched)
        RestartListRestore();
    s_restartTouched = false;
    // The destination that was put in place whole goes back to its staging name.
    if (s_rootPlaced && MoveFileA(g_destDir, s_stageRoot))
        s_rootPlaced = false;
    // Newest first: a target that two records share comes back to what it was first.
    for (int disk = g_diskCount - 1; disk >= 0; --disk)
        for (int rec = g_fileCounts[disk] - 1; rec >= 0; --rec) {
            FileStep* s = StepOf(disk, rec);
            Paths p;
            if (s && s->step != Step::None && RecordPaths(disk, rec, *s, &p))
                PutBack(s, p);
        }
    // A child directory before its parent; each only when nothing is in it.
    const char* base = s_stageRoot[0] && !s_rootPlaced ? s_stageRoot : g_destDir;
    for (int key = kDirKeyCount - 1; key >= 0; --key) {
        char dir[MAX_PATH];
        if ((s_createdDirs >> key) & 1 && TextCopy(dir, base) && PathAppend(dir, g_dirNames[key]))
            RemoveDirectoryA(dir);
    }
    if (s_stageRoot[0] && !s_rootPlaced)
        RemoveDirectoryA(s_stageRoot);
    if (s_destCreated)
        RemoveDirectoryA(g_destDir);
    s_createdDirs = s_destCreated = s_restartNeeded = 0;
    s_stageRoot[0] = '\0';
    s_rootPlaced = false;
}

int CountSharedFiles()
{
    int whole = 1;
    EachStep([&](int disk, int rec, FileStep* s, const Paths& p) {
        if (!PlanRecord(disk, rec)->systemDir)
            return;
        // A target that an earlier record of the plan names too is counted once.
        for (int d = 0; d <= disk; ++d)
            for (int r = 0; r < (d < disk ? g_fileCounts[d] : rec); ++r) {
                char other[kPathRoom];
                if (PlanRecord(d, r)->systemDir && TargetPath(d, r, other, kPathRoom) && SamePath(other, p.target))
                    return;
            }
        // A value that is no count is written over as if there were none.
        const long count = ReadSharedCount(p.target);
        const bool had = count >= 0;
        const bool existed = s->existed || s->step == Step::Replaced || s->step == Step::AtRestart;
        const DWORD after = SharedCountAfterInstall(had, had ? (DWORD)count : 0, existed, s_destCounted);
        if (had && after == (DWORD)count)
            return;
        LogLine("shared count %s: %lu", p.target, after);
        if (!JournalSetValue(HKEY_LOCAL_MACHINE, REG_SHARED_DLLS_KEY, p.target, REG_DWORD, &after, sizeof after)) {
            NoteFailedEntry(RegRoot::Machine, REG_SHARED_DLLS_KEY, p.target);
            whole = 0;
        }
    });
    return whole;
}

void FreeSteps()
{
    GlobalDrop(&s_stepsHandle);
    s_steps = nullptr;
    s_stepCount = 0;
}

} // namespace

long ReadSharedCount(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, REG_SHARED_DLLS_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return kNoCount;
    DWORD count = 0, size = sizeof count, type = 0;
    const LONG r = RegQueryValueExA(key, path, nullptr, &type, reinterpret_cast<BYTE*>(&count), &size);
    RegCloseKey(key);
    if (r == ERROR_FILE_NOT_FOUND)
        return kNoCount;
    if (r != ERROR_SUCCESS || size != sizeof count || (type != REG_DWORD && type != REG_BINARY) || (long)count < 0)
        return kOddCount;
    return (long)count;
}

DWORD SharedCountAfterInstall(bool had, DWORD count, bool existed, bool counted)
{
    if (counted)
        return had && count ? count : 1;
    // A file that was there without a count belongs to someone else as well.
    return (had ? count : existed ? 1 : 0) + 1;
}

void SweepLeftovers(const char* dir)
{
    char pattern[MAX_PATH];
    if (!TextCopy(pattern, dir) || !PathAppend(pattern, "*.~z*"))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        char original[MAX_PATH], path[MAX_PATH], target[MAX_PATH];
        const char kind = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : SideNameKind(fd.cFileName, original);
        if (!kind || !TextCopy(path, dir) || !PathAppend(path, fd.cFileName) || RestartListNamesSource(path))
            continue;
        // Killed between moving the previous file aside and putting the new one in its
        // place: the previous file goes back.
        if (kind == 'o' && TextCopy(target, dir) && PathAppend(target, original) &&
            GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND &&
            MoveFileA(path, target))
            continue;
        // A replaced file that a running program still holds goes at the restart.
        if (!DeleteFileA(path) && FileInUse(GetLastError()))
            MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

void SweepPlanFolders()
{
    char root[MAX_PATH];
    if (StageRootOf(g_destDir, root) && GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES)
        RemoveStagedTree(root);
    RestartListRead();
    EachPlanFolder([](const char* dir) { SweepLeftovers(dir); });
    RestartListFree();
}

void BeginInstallation(int destCreated)
{
    LogLine("destination %s%s", g_destDir, destCreated ? " (created for this installation)" : "");
    FreeSteps();
    s_destCreated = destCreated;
    s_stageRoot[0] = '\0';
    s_rootPlaced = false;
    SweepPlanFolders();
    // A destination created for this run (still empty) is staged whole under its staging
    // name; it appears under its own name only with every file in it.
    char root[MAX_PATH];
    if (destCreated && StageRootOf(g_destDir, root) && RemoveDirectoryA(g_destDir)) {
        if (CreateDirectoryA(root, nullptr))
            TextCopy(s_stageRoot, root);
        else
            CreateDirectoryA(g_destDir, nullptr); // as the Destination page left it
    }
    s_createdDirs = CreateSubDirectories(s_stageRoot[0] ? s_stageRoot : nullptr);
    s_restartTouched = false;
    s_restartNeeded = 0;
    char inf[kPathRoom];
    s_destCounted = TextCopy(inf, g_destDir) && PathAppend(inf, "UNINSTAL.INF") &&
                    GetFileAttributesA(inf) != INVALID_FILE_ATTRIBUTES;
    RestartListRead();
    s_stepCount = g_totalFiles > 0 ? g_totalFiles : 0;
    s_steps = static_cast<FileStep*>(GlobalTake(&s_stepsHandle, (SIZE_T)s_stepCount * sizeof(FileStep)));
    if (!s_steps)
        FreeSteps(); // every file then fails to stage
}

int StageFile(int disk, int rec, HFILE source, const char* target, int* failure)
{
    if (source < 0)
        return 0;
    FileStep* s = StepOf(disk, rec);
    const FileRecord* r = PlanRecord(disk, rec);
    Paths p;
    // Where the file is staged, or why it is not: 0 when it can be written to p.staged.
    int why = IDS_FAIL_WRITE;
    if (s && (s->inRoot = s_stageRoot[0] && !r->systemDir && PathInside(target, g_destDir))) {
        // Under its own name in the staging destination.
        why = RecordPaths(disk, rec, *s, &p) ? 0 : IDS_FAIL_PATH;
    } else if (s) {
        // In a directory this run created there is nothing to look for: asking costs a
        // search of the directory for every file.
        const DWORD attributes = InFreshDirectory(r) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(target);
        s->existed = attributes != INVALID_FILE_ATTRIBUTES;
        if (s->existed && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            why = IDS_FAIL_WRITE; // a directory of the file's name is not replaced
        } else if (s->existed && (attributes & FILE_ATTRIBUTE_READONLY)) {
            why = IDS_FAIL_READONLY; // a read-only file is not replaced
        } else {
            // A staged name that the restart list still names belongs to an earlier
            // upgrade waiting for its restart: another name is taken.
            s->attempt = 0;
            while (SideName(target, kStagedMark, RecordNumber(disk, rec), s->attempt, p.staged) &&
                   RestartListNamesSource(p.staged) && s->attempt < kStagedNames)
                ++s->attempt;
            why = s->attempt < kStagedNames ? 0 : IDS_FAIL_WRITE;
        }
    }
    if (why) {
        LZClose(source);
    } else if (WriteWholeFile(source, p.staged, &why)) {
        s->step = Step::Staged;
    }
    if (failure)
        *failure = why;
    return why == 0;
}

HFILE OpenRecordSource(int disk, int rec, int* failure)
{
    const FileRecord* r = PlanRecord(disk, rec);
    *failure = IDS_FAIL_SCRIPT;
    // A record that names no file: its line is missing, or was refused as unusable.
    if (!r || !r->sourceName[0] || !r->targetName[0])
        return HFILE_ERROR;
    // A path that cannot be composed whole is not used: the file is skipped.
    char path[kPathRoom];
    *failure = IDS_FAIL_PATH;
    return SourcePath(disk, rec, path, kPathRoom) ? OpenSourceFile(path, failure) : HFILE_ERROR;
}

int StageRecord(int disk, int rec, HFILE source, int sourceFailure)
{
    const FileRecord* r = PlanRecord(disk, rec);
    if (sourceFailure == IDS_FAIL_SCRIPT && source < 0) {
        // The name the list gives a file that is not in the plan: its line of the script.
        char name[kTextRoom];
        FormatText(name, kTextRoom, IDS_FAIL_LINE, disk + 1, rec + 1);
        NoteFailedFile(name, IDS_FAIL_SCRIPT);
        return 0;
    }
    if (source < 0) {
        NoteFailedFile(r->sourceName, sourceFailure);
        return 0;
    }
    char target[kPathRoom];
    int failure = IDS_FAIL_PATH;
    if (!TargetPath(disk, rec, target, kPathRoom)) {
        LZClose(source);
    } else if (StageFile(disk, rec, source, target, &failure)) {
        LogStaged(disk, rec, target);
        return 1;
    }
    // A damaged source is the medium's fault: named by its name there.
    NoteFailedFile(failure == IDS_FAIL_DAMAGED ? r->sourceName : r->targetName, failure);
    return 0;
}

int CommitInstallation()
{
    int whole = 1;
    // What the restart would do to the files put in place now is taken out first.
    int forgotten = 0;
    EachStep([&](int, int, FileStep*, const Paths& p) { forgotten += RestartListForget(p.target); });
    if (forgotten) {
        s_restartTouched = true;
        if (!RestartListWrite()) {
            NoteFailedEntry(RegRoot::Machine, "System\\CurrentControlSet\\Control\\Session Manager",
                            "PendingFileRenameOperations");
            whole = 0;
        }
    }
    // The staging destination becomes the destination, with every file in it.
    if (whole && s_stageRoot[0]) {
        if (MoveFileA(s_stageRoot, g_destDir)) {
            s_rootPlaced = true;
            EachStep([&](int, int, FileStep* s, const Paths& p) {
                if (s->inRoot) {
                    s->step = Step::Created;
                    LogLine("file %s: installed", p.target);
                }
            });
        } else {
            NoteFailedFile(g_destDir, IDS_FAIL_WRITE);
            whole = 0;
        }
    }
    EachStep([&](int disk, int rec, FileStep* s, const Paths& p) {
        if (whole && s->step == Step::Staged && !PutInPlace(s, p)) {
            NoteFailedFile(PlanRecord(disk, rec)->targetName, IDS_FAIL_WRITE);
            whole = 0;
        }
    });
    // Room for every value of the table, the keys above them, the values of the key the
    // registration empties, and a count (and its key) per file in a Windows directory.
    int shared = 0;
    EachStep([&](int disk, int rec, FileStep*, const Paths&) { shared += PlanRecord(disk, rec)->systemDir; });
    if (whole && !JournalOpen(128 + 2 * shared)) {
        NoteFailedEntry(RegRoot::Machine, REG_CURRENT_VERSION, nullptr);
        whole = 0;
    }
    if (whole) {
        whole = RegisterSystem();
        whole = CountSharedFiles() && whole;
    }
    if (!whole) {
        PutEverythingBack();
        return 0;
    }
    JournalClose();
    // Done: the previous files and the staged files of older upgrades go.
    SweepPlanFolders();
    FreeSteps();
    return 1;
}

void AbandonInstallation()
{
    PutEverythingBack();
    RestartListFree();
    FreeSteps();
}

int InstallationNeedsRestart()
{
    return s_restartNeeded;
}
