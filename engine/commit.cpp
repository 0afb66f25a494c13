// The installation as one change: every file is staged whole (beside its target, or, for
// a destination created for this run, in that destination built under a staging name),
// then all are put in place, then the registration and the shared-file counts are written
// through the registry journal. Whatever fails before the end (or a Cancel) puts
// everything back: staged files removed, replaced files restored, the registry and the
// restart list as they were, the directories this run created removed when empty.
#include "engine/commit.h"
#include "engine/copy.h"
#include "engine/counts.h"
#include "engine/inventory.h"
#include "engine/register.h"
#include "engine/sweep.h"
#include "base/fileversion.h"
#include "base/format.h"
#include "base/log.h"
#include "base/memory.h"
#include "base/path.h"
#include "base/text.h"
#include "res/ids.h"
#include <lzexpand.h>

namespace {

FileStep* StepOf(const Installation* run, int disk, int rec)
{
    const int n = RecordIndex(disk, rec);
    return run->steps && n >= 0 && n < run->stepCount ? &run->steps[n] : nullptr;
}

struct Paths {
    char target[kPathRoom];
    char staged[MAX_PATH];
    char backup[MAX_PATH];
};

int RecordPaths(const Installation* run, int disk, int rec, const FileStep& s, Paths* p)
{
    const int n = RecordIndex(disk, rec);
    if (!TargetPath(run->dest, disk, rec, p->target, kPathRoom))
        return 0;
    if (s.inRoot) {
        const FileRecord* r = PlanRecord(disk, rec);
        p->backup[0] = '\0';
        return TextCopy(p->staged, MAX_PATH, run->stageRoot) && PathAppend(p->staged, MAX_PATH, r->targetDir) &&
               PathAppend(p->staged, MAX_PATH, r->targetName);
    }
    return SideName(p->target, kStagedMark, n, s.attempt, p->staged) && SideName(p->target, kBackupMark, n, 0, p->backup);
}

// `path` as the log shows it, in `shown` (room MAX_PATH): plain, without "\.\" or
// doubled backslashes.
const char* Shown(const char* path, char* shown)
{
    return PlainPath(path, shown, MAX_PATH) ? shown : path;
}

// Calls `visit(disk, rec, step, paths)` for every record the run has reached.
template <typename Visit> void EachStep(const Installation* run, Visit visit, bool newestFirst = false)
{
    ForEachRecord(
        [&](int disk, int rec) {
            FileStep* s = StepOf(run, disk, rec);
            Paths p;
            if (s && s->step != Step::None && RecordPaths(run, disk, rec, *s, &p))
                visit(disk, rec, s, p);
        },
        newestFirst);
}

// 1 when the record's target lies in a sub-directory this run created, where no file can
// be there before.
int InFreshDirectory(const Installation* run, const FileRecord* r)
{
    if (!r || r->systemDir)
        return 0;
    for (int key = 0; key < kDirKeyCount; ++key)
        if ((run->createdDirs >> key) & 1 && lstrcmpA(r->targetDir, g_dirNames[key]) == 0)
            return 1;
    return 0;
}

// The log's line for a staged file: where from, where to, expanded or copied, its size.
void LogStaged(Installation* run, int disk, int rec, const char* target)
{
    Paths p;
    const FileStep* s = StepOf(run, disk, rec);
    char source[kPathRoom];
    if (!LogIsOpen() || !s || !RecordPaths(run, disk, rec, *s, &p) || !SourcePath(disk, rec, source, kPathRoom))
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
    char a[MAX_PATH], b[MAX_PATH], c[MAX_PATH];
    LogLine("file %s -> %s: %s, %lu bytes, staged as %s", Shown(source, a), Shown(target, b),
            packed ? "expanded" : "copied", data.nFileSizeLow, Shown(p.staged, c));
}

// Puts one staged file in place. 0 when it cannot be, the target then as it was.
int PutInPlace(Installation* run, FileStep* s, const Paths& p)
{
    char shown[MAX_PATH];
    if (s->inRoot)
        return 1; // in place with its directory
    if (!s->existed) {
        if (MoveFileA(p.staged, p.target)) {
            s->step = Step::Created;
            LogLine("file %s: installed", Shown(p.target, shown));
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
            LogLine("file %s: replaced", Shown(p.target, shown));
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
    run->restartTouched = true;
    run->restartNeeded = true;
    s->step = Step::AtRestart;
    char other[MAX_PATH];
    LogLine("file %s: in use, replaced at the restart by %s", Shown(p.target, shown), Shown(p.staged, other));
    return 1;
}

void PutBack(const Installation* run, FileStep* s, const Paths& p)
{
    if (s->inRoot) {
        DeleteFileA(run->rootPlaced ? p.target : p.staged);
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
    case Step::Kept:
    case Step::None:
        break;
    }
    s->step = Step::None;
}

void PutEverythingBack(Installation* run)
{
    LogLine("putting everything back as it was");
    JournalRollBack(&run->journal);
    JournalClose(&run->journal);
    if (run->restartTouched)
        RestartListRestore(&run->restart);
    run->restartTouched = false;
    // The destination that was put in place whole goes back to its staging name.
    if (run->rootPlaced && MoveFileA(run->dest, run->stageRoot))
        run->rootPlaced = false;
    // Newest first: a target that two records share comes back to what it was first.
    EachStep(run, [&](int, int, FileStep* s, const Paths& p) { PutBack(run, s, p); }, true);
    // A child directory before its parent; each only when nothing is in it.
    const char* base = run->stageRoot[0] && !run->rootPlaced ? run->stageRoot : run->dest;
    for (int key = kDirKeyCount - 1; key >= 0; --key) {
        char dir[MAX_PATH];
        if ((run->createdDirs >> key) & 1 && TextCopy(dir, base) && PathAppend(dir, g_dirNames[key]))
            RemoveDirectoryA(dir);
    }
    if (run->stageRoot[0] && !run->rootPlaced)
        RemoveDirectoryA(run->stageRoot);
    if (run->destCreated)
        RemoveDirectoryA(run->dest);
    run->createdDirs = run->destCreated = 0;
    run->restartNeeded = false;
    run->stageRoot[0] = '\0';
    run->rootPlaced = false;
}

void FreeSteps(Installation* run)
{
    InventoryFree(&run->inventory);
    GlobalDrop(&run->stepsHandle);
    run->steps = nullptr;
    run->stepCount = 0;
}

// 1 when version `ms`.`ls` is higher than `oms`.`ols`.
bool Higher(DWORD ms, DWORD ls, DWORD oms, DWORD ols)
{
    return ms > oms || (ms == oms && ls > ols);
}

// Decides, once the record's file is staged, whether the file already at its target
// stays instead:
// - a file in the Windows directories whose version is higher than the staged one's
//   (every installation that counts it may need that version);
// - a file without a version that differs from what the last installation into the
//   destination listed in its inventory: the user changed it since (settings, schemes).
// A kept target's staged file goes, and the inventory keeps what it said of the target. 1
// when kept. A target the restart list deletes is nobody's any more, and one that cannot
// be read (held open) is neither newer nor changed: both are replaced as before.
int KeepTarget(Installation* run, int disk, int rec)
{
    FileStep* s = StepOf(run, disk, rec);
    const FileRecord* r = PlanRecord(disk, rec);
    Paths p;
    if (!s || !r || s->step != Step::Staged || s->inRoot || !s->existed || !RecordPaths(run, disk, rec, *s, &p) ||
        RestartListDeletes(&run->restart, p.target))
        return 0;
    FileSum listed, now;
    s->listed = (BYTE)InventoryFind(&run->inventory, p.target, &listed);
    // The cheap questions first: a reinstallation asks them of every file.
    if (!r->systemDir && !s->listed)
        return 0;
    const bool changed = s->listed && ReadFileSum(p.target, &now) && (now.size != listed.size || now.sum != listed.sum);
    if (!r->systemDir && !changed)
        return 0;
    char why[96];
    DWORD ms, ls, newMs, newLs;
    const bool versioned = ReadFileVersion(p.target, &ms, &ls);
    if (r->systemDir && versioned && ReadFileVersion(p.staged, &newMs, &newLs) && Higher(ms, ls, newMs, newLs)) {
        char have[24], staged[24];
        FormatFileVersion(ms, ls, have, sizeof have);
        FormatFileVersion(newMs, newLs, staged, sizeof staged);
        FormatWith(why, sizeof why, "version %s on this machine is newer than %s", have, staged);
    } else if (!versioned && changed) {
        TextCopy(why, "changed since it was installed");
    } else {
        return 0;
    }
    DeleteFileA(p.staged);
    s->step = Step::Kept;
    if (s->listed)
        s->content = listed;
    char shown[MAX_PATH];
    LogLine("kept %s: %s", Shown(p.target, shown), why);
    return 1;
}

// Writes the inventory of what the run put in place: every file installed or waiting for
// the restart, and what the last inventory said of a kept target.
void WriteInventory(Installation* run)
{
    HGLOBAL handle = nullptr;
    const DWORD room = (DWORD)run->stepCount * (MAX_PATH + 32);
    char* text = static_cast<char*>(GlobalTake(&handle, room));
    DWORD used = 0;
    int whole = text != nullptr;
    EachStep(run, [&](int, int, FileStep* s, const Paths& p) {
        if (whole && s->step != Step::Staged && (s->step != Step::Kept || s->listed))
            whole = InventoryAppend(text, room, &used, p.target, s->content);
    });
    if (whole)
        InventoryWrite(run->dest, text, used, run->stepCount);
    GlobalDrop(&handle);
}

} // namespace

// A directory whose path does not fit is not created: a cut path would be some other
// directory.
int CreateSubDirectories(const char* dest)
{
    int created = 0;
    for (int key = 0; key < kDirKeyCount; ++key) {
        const char* name = g_dirNames[key];
        if (!DirKeyIsSubDirectory(key) || !name[0])
            continue;
        char path[MAX_PATH];
        if (TextCopy(path, dest) && PathAppend(path, name) && CreateDirectoryA(path, nullptr))
            created |= 1 << key;
    }
    return created;
}

void BeginInstallation(Installation* run, const char* dest, int destCreated)
{
    // Everything of an earlier run goes; what the front end told before this one stays.
    const bool utilityWasRunning = run->utilityWasRunning;
    *run = Installation{};
    run->utilityWasRunning = utilityWasRunning;
    TextCopy(run->dest, dest);
    LogLine("destination %s%s", run->dest, destCreated ? " (created for this installation)" : "");
    run->destCreated = destCreated;
    SweepPlanFolders(run->dest);
    // A destination created for this run (still empty) is staged whole under its staging
    // name; it appears under its own name only with every file in it.
    char root[MAX_PATH];
    if (destCreated && StageRootOf(run->dest, root) && RemoveDirectoryA(run->dest)) {
        if (CreateDirectoryA(root, nullptr))
            TextCopy(run->stageRoot, root);
        else
            CreateDirectoryA(run->dest, nullptr); // as the Destination page left it
    }
    run->createdDirs = CreateSubDirectories(run->stageRoot[0] ? run->stageRoot : run->dest);
    char inf[kPathRoom];
    run->destCounted = TextCopy(inf, run->dest) && PathAppend(inf, "UNINSTAL.INF") &&
                       GetFileAttributesA(inf) != INVALID_FILE_ATTRIBUTES;
    RestartListRead(&run->restart);
    InventoryRead(&run->inventory, run->dest);
    run->stepCount = g_totalFiles > 0 ? g_totalFiles : 0;
    run->steps = static_cast<FileStep*>(GlobalTake(&run->stepsHandle, (SIZE_T)run->stepCount * sizeof(FileStep)));
    if (!run->steps)
        FreeSteps(run); // every file then fails to stage
}

int StageFile(Installation* run, int disk, int rec, HFILE source, const char* target, int* failure)
{
    if (source < 0)
        return 0;
    FileStep* s = StepOf(run, disk, rec);
    const FileRecord* r = PlanRecord(disk, rec);
    Paths p;
    // Where the file is staged, or why it is not: 0 when it can be written to p.staged.
    int why = IDS_FAIL_WRITE;
    if (s && (s->inRoot = run->stageRoot[0] && !r->systemDir && PathInside(target, run->dest))) {
        // Under its own name in the staging destination.
        why = RecordPaths(run, disk, rec, *s, &p) ? 0 : IDS_FAIL_PATH;
    } else if (s) {
        // In a directory this run created there is nothing to look for: asking costs a
        // search of the directory for every file.
        const DWORD attributes = InFreshDirectory(run, r) ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(target);
        s->existed = attributes != INVALID_FILE_ATTRIBUTES;
        if (s->existed && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            why = IDS_FAIL_WRITE; // a directory of the file's name is not replaced
        } else if (s->existed && (attributes & FILE_ATTRIBUTE_READONLY)) {
            why = IDS_FAIL_READONLY; // a read-only file is not replaced
        } else {
            // A staged name that the restart list still names belongs to an earlier
            // upgrade waiting for its restart: another name is taken.
            s->attempt = 0;
            while (SideName(target, kStagedMark, RecordIndex(disk, rec), s->attempt, p.staged) &&
                   RestartListNamesSource(&run->restart, p.staged) && s->attempt < kStagedNames)
                ++s->attempt;
            why = s->attempt < kStagedNames ? 0 : IDS_FAIL_WRITE;
        }
    }
    if (why) {
        LZClose(source);
    } else if (WriteWholeFile(source, p.staged, &why, BetweenChunks, run, &s->content)) {
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

int StageRecord(Installation* run, int disk, int rec, HFILE source, int sourceFailure)
{
    const FileRecord* r = PlanRecord(disk, rec);
    if (sourceFailure == IDS_FAIL_SCRIPT && source < 0) {
        // The name the list gives a file that is not in the plan: its line of the script.
        char name[kTextRoom];
        FormatText(name, kTextRoom, IDS_FAIL_LINE, disk + 1, rec + 1);
        NoteFailedFile(&run->failed, name, IDS_FAIL_SCRIPT);
        return 0;
    }
    if (source < 0) {
        NoteFailedFile(&run->failed, r->sourceName, sourceFailure);
        return 0;
    }
    char target[kPathRoom];
    int failure = IDS_FAIL_PATH;
    if (!TargetPath(run->dest, disk, rec, target, kPathRoom)) {
        LZClose(source);
    } else if (StageFile(run, disk, rec, source, target, &failure)) {
        LogStaged(run, disk, rec, target);
        KeepTarget(run, disk, rec);
        return 1;
    }
    if (failure == kCopyCancelled)
        return 0; // stopped by the user: no failure
    // A damaged source is the medium's fault: named by its name there.
    NoteFailedFile(&run->failed, failure == IDS_FAIL_DAMAGED ? r->sourceName : r->targetName, failure);
    return 0;
}

// The order in which a staged installation is put in place.
int CommitInstallation(Installation* run)
{
    int whole = 1;
    // 1. What the restart would do to the files put in place now is taken out first.
    int forgotten = 0;
    EachStep(run, [&](int, int, FileStep* s, const Paths& p) {
        s->leaving = (BYTE)RestartListDeletes(&run->restart, p.target);
        forgotten += RestartListForget(&run->restart, p.target);
    });
    if (forgotten) {
        run->restartTouched = true;
        if (!RestartListWrite(&run->restart)) {
            NoteFailedEntry(&run->failed, RegRoot::Machine, kSessionManagerKey, kPendingRenamesValue);
            whole = 0;
        }
    }
    // 2. The staging destination becomes the destination, with every file in it.
    if (whole && run->stageRoot[0]) {
        if (MoveFileA(run->stageRoot, run->dest)) {
            run->rootPlaced = true;
            EachStep(run, [&](int, int, FileStep* s, const Paths& p) {
                char shown[MAX_PATH];
                if (s->inRoot) {
                    s->step = Step::Created;
                    LogLine("file %s: installed", Shown(p.target, shown));
                }
            });
        } else {
            NoteFailedFile(&run->failed, run->dest, IDS_FAIL_WRITE);
            whole = 0;
        }
    }
    // 3. Every other staged file takes its target's place.
    EachStep(run, [&](int disk, int rec, FileStep* s, const Paths& p) {
        if (whole && s->step == Step::Staged && !PutInPlace(run, s, p)) {
            NoteFailedFile(&run->failed, PlanRecord(disk, rec)->targetName, IDS_FAIL_WRITE);
            whole = 0;
        }
    });
    // 4. The registration and the shared-file counts, through the journal: room for every
    // value of the table, the keys above them, the values of the key the registration
    // empties, and a count (and its key) per file in a Windows directory.
    int shared = 0;
    EachStep(run, [&](int disk, int rec, FileStep*, const Paths&) { shared += PlanRecord(disk, rec)->systemDir; });
    if (whole && !JournalOpen(&run->journal, 128 + 2 * shared)) {
        NoteFailedEntry(&run->failed, RegRoot::Machine, REG_CURRENT_VERSION, nullptr);
        whole = 0;
    }
    if (whole) {
        whole = RegisterSystem(run);
        whole = CountSharedFiles(run) && whole;
    }
    if (!whole) {
        AbandonInstallation(run);
        return 0;
    }
    JournalClose(&run->journal);
    RestartListFree(&run->restart);
    // 5. What is in place now goes into the inventory, for the next installation to compare.
    WriteInventory(run);
    // 6. Done: the previous files and the staged files of older upgrades go.
    SweepPlanFolders(run->dest);
    FreeSteps(run);
    return 1;
}

DWORDLONG InstalledBytes(const Installation* run)
{
    DWORDLONG bytes = 0;
    for (int i = 0; run->steps && i < run->stepCount; ++i)
        if (run->steps[i].step != Step::None && run->steps[i].step != Step::Staged)
            bytes += run->steps[i].content.size;
    return bytes;
}

int InstalledCopy(const Installation* run, const char* target, char* out)
{
    int found = 0;
    EachStep(run, [&](int, int, FileStep* s, const Paths& p) {
        if (SamePath(p.target, target))
            found = TextCopy(out, MAX_PATH, s->step == Step::AtRestart ? p.staged : p.target);
    });
    return found;
}

void AbandonInstallation(Installation* run)
{
    PutEverythingBack(run);
    RestartListFree(&run->restart);
    FreeSteps(run);
}
