// The install plan: file records of every disk in one block, the rules that resolve a
// disk line's directory key, and the composition of a record's source and target paths.
#include "script/plan.h"
#include "script/fields.h"
#include "base/loadtext.h"
#include "base/text.h"
#include "base/memory.h"
#include "base/path.h"
#include "res/ids.h"

HGLOBAL g_planHandle;
BYTE* g_plan;
FileRecord* g_diskStart[kMaxDisks + 1];

namespace {

// Number of records the block was sized for.
int s_planRecords;

// What each directory key's target directory is, in key order: the DirectoryName value
// itself for the destination's sub-directories, or the Windows directory plus a suffix.
struct DirRule {
    bool underWindows;
    const char* suffix;
};

constexpr DirRule kDirRules[] = {
#define MEDIUM_DIR_KEY(index, name, underWindows, suffix) {underWindows != 0, suffix},
#include "res/medium.def"
};
static_assert(sizeof kDirRules / sizeof kDirRules[0] == kDirKeyCount, "one rule per key");

// Sets the record's directories from directory key `k`. 0 when a value does not fit its
// 40-character field.
int ResolveDirectory(FileRecord* rec, int k)
{
    const DirRule& rule = kDirRules[k];
    if (!TextCopy(rec->dirName, g_dirNames[k]))
        return 0;
    if (!rule.underWindows)
        return TextCopy(rec->targetDir, g_dirNames[k]);
    rec->systemDir = 1;
    return TextCopy(rec->targetDir, g_windowsDir) && TextAppend(rec->targetDir, rule.suffix);
}

// Fills a record from a disk line. A name or directory that does not fit its field, or a
// directory key that names no directory, would send the file to, or take it from, a
// wrong place, so such a record is refused whole and stays empty like one whose line is
// missing. Only the description, which is merely shown, is cut at 61 characters.
void FillRecord(FileRecord* out, const char* line)
{
    DiskLine fields;
    SplitDiskLine(line, &fields);

    FileRecord rec = {};
    int whole = TextCopy(rec.sourceName, fields.source);
    whole &= TextCopy(rec.targetName, fields.target);
    TextCopy(rec.description, fields.description);
    const int k = DirKeyIndex(fields.key);
    const bool known = k >= 0;
    if (known)
        whole &= ResolveDirectory(&rec, k);
    if (whole && known)
        *out = rec;
}

// Joins `first` \ `dir` \ `name` into `out` with one backslash between the parts; refuses
// (empty `out`, 0) what does not fit.
int JoinPath(char* out, int room, const char* first, const char* dir, const char* name)
{
    if (room <= 0)
        return 0;
    int whole = TextCopy(out, room, first) && PathAppend(out, room, dir) && PathAppend(out, room, name);
    if (!whole)
        out[0] = '\0';
    return whole;
}

} // namespace

int AllocPlan(short totalFiles)
{
    FreePlan();
    int count = totalFiles < 0 ? 0 : totalFiles;
    SIZE_T size = (SIZE_T)count * sizeof(FileRecord) + kPlanTailBytes;
    g_plan = TakePlanBlock(&g_planHandle, size);
    if (!g_plan)
        return 0;
    s_planRecords = count;
    return 1;
}

void FreePlan()
{
    GlobalDrop(&g_planHandle);
    g_plan = nullptr;
    s_planRecords = 0;
    for (FileRecord*& start : g_diskStart)
        start = nullptr;
}

void SplitDiskLine(const char* line, DiskLine* out)
{
    const char* pos = NextField(line, out->source);
    pos = NextField(pos, out->target);
    pos = NextField(pos, out->description);
    NextField(pos, out->key);
}

int DirKeyIndex(const char* name)
{
    for (int k = 0; k < kDirKeyCount; ++k) {
        const char* keyName = LoadText(IDS_ROOTDIR + k);
        if (keyName && lstrcmpiA(name, keyName) == 0)
            return k;
    }
    return -1;
}

int DirKeyIsSubDirectory(int key)
{
    return key >= 0 && key < kDirKeyCount && !kDirRules[key].underWindows;
}

const char* DirKeyWindowsSuffix(int key)
{
    return key >= 0 && key < kDirKeyCount && kDirRules[key].underWindows ? kDirRules[key].suffix
                                                                        : nullptr;
}

void LayOutDisks()
{
    if (!g_plan)
        return;
    // The reader keeps the counts within the block; should they ever pass it, the later
    // disks are cut so that no record lies outside.
    int left = s_planRecords;
    g_diskStart[0] = (FileRecord*)g_plan;
    for (int i = 0; i < g_diskCount; ++i) {
        if (g_fileCounts[i] < 0)
            g_fileCounts[i] = 0;
        if (g_fileCounts[i] > left)
            g_fileCounts[i] = (short)left;
        left -= g_fileCounts[i];
        g_diskStart[i + 1] = g_diskStart[i] + g_fileCounts[i];
    }
}

void FillPlanRecord(int disk, int rec, const char* line)
{
    FileRecord* out = PlanRecord(disk, rec);
    if (out && line[0])
        FillRecord(out, line);
}

FileRecord* PlanRecord(int disk, int rec)
{
    if (!g_plan || disk < 0 || disk >= g_diskCount || rec < 0 || rec >= g_fileCounts[disk])
        return nullptr;
    return g_diskStart[disk] + rec;
}

int SourcePath(int disk, int rec, char* out, int room)
{
    const FileRecord* r = PlanRecord(disk, rec);
    if (!r) {
        if (room > 0)
            out[0] = '\0';
        return 0;
    }
    return JoinPath(out, room, g_programDir, r->dirName, r->sourceName);
}

int TargetPath(const char* dest, int disk, int rec, char* out, int room)
{
    const FileRecord* r = PlanRecord(disk, rec);
    if (!r) {
        if (room > 0)
            out[0] = '\0';
        return 0;
    }
    return JoinPath(out, room, r->systemDir ? "" : dest, r->targetDir, r->targetName);
}

int RecordIndex(int disk, int rec)
{
    return PlanRecord(disk, rec) ? (int)(g_diskStart[disk] - g_diskStart[0]) + rec : -1;
}
