// The shared-file counts: read for one file, and written for every file an installation
// put in the Windows directories.
#include "engine/counts.h"
#include "engine/registration.h"
#include "base/log.h"
#include "base/path.h"

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

int CountSharedFiles(Installation* run)
{
    int whole = 1;
    ForEachRecord([&](int disk, int rec) {
        const FileRecord* r = PlanRecord(disk, rec);
        const int index = RecordIndex(disk, rec);
        char target[kPathRoom];
        if (!r || !r->systemDir || !run->steps || index >= run->stepCount || run->steps[index].step == Step::None ||
            !TargetPath(run->dest, disk, rec, target, kPathRoom))
            return;
        const FileStep& s = run->steps[index];
        // A target that an earlier record of the plan names too is counted once.
        bool earlier = false;
        ForEachRecord([&](int d, int o) {
            char other[kPathRoom];
            if (!earlier && RecordIndex(d, o) < index && PlanRecord(d, o)->systemDir &&
                TargetPath(run->dest, d, o, other, kPathRoom) && SamePath(other, target))
                earlier = true;
        });
        if (earlier)
            return;
        // A value that is no count is written over as if there were none.
        const long count = ReadSharedCount(target);
        const bool had = count >= 0;
        // A file an uninstallation left to go at the restart is nobody's any more.
        const bool existed = (s.existed || s.step == Step::Replaced || s.step == Step::AtRestart) && !s.leaving;
        const DWORD after = SharedCountAfterInstall(had, had ? (DWORD)count : 0, existed, run->destCounted);
        if (had && after == (DWORD)count)
            return;
        LogLine("shared count %s: %lu", target, after);
        if (!JournalSetValue(&run->journal, HKEY_LOCAL_MACHINE, REG_SHARED_DLLS_KEY, target, REG_DWORD, &after,
                             sizeof after)) {
            NoteFailedEntry(&run->failed, RegRoot::Machine, REG_SHARED_DLLS_KEY, target);
            whole = 0;
        }
    });
    return whole;
}
