// The install plan: one zero-filled block of file records, disk after disk, followed by
// room for the reader's ten program items. The reader hands the plan each disk line; the
// plan resolves it into a record and composes the record's source and target paths.
#pragma once
#include "base/globals.h"

// The rooms of a record's text fields (kDirFieldRoom, kNameFieldRoom, kDescriptionRoom,
// terminator included) are the medium format's: a longer value does not fit.
struct FileRecord {
    char dirName[kDirFieldRoom];     // sub-directory of the program directory holding the source
    char targetDir[kDirFieldRoom];   // absolute (systemDir 1) or relative to the destination (0)
    char sourceName[kNameFieldRoom];
    char targetName[kNameFieldRoom];
    char description[kDescriptionRoom]; // cut there, not refused
    int systemDir;
};
static_assert(sizeof(FileRecord) == 176, "file records are 176 bytes");

// Bytes behind the last record, where the reader keeps its program items.
constexpr int kPlanTailBytes = 600;

// The four comma-separated fields of a disk line, as the field splitter gives them.
struct DiskLine {
    char source[kTextRoom];
    char target[kTextRoom];
    char description[kTextRoom];
    char key[kTextRoom]; // directory key name, e.g. "SubDir1"
};
void SplitDiskLine(const char* line, DiskLine* out);

// The directory key (0 to kDirKeyCount-1) that `name` names in the script, in any case;
// -1 when it names none.
int DirKeyIndex(const char* name);
// 1 for keys 0-5 (RootDir, SubDir1-5): directories under the destination, which the
// Installing page creates. 0 for the Windows directory keys and anything else.
int DirKeyIsSubDirectory(int key);
// What a Windows directory key (6-9) adds to the Windows directory: "", "\\SYSTEM",
// "\\INF", "\\SYSTEM32\\DRIVERS". nullptr for the other keys.
const char* DirKeyWindowsSuffix(int key);

// The block and its handle, locked from allocation to FreePlan.
extern HGLOBAL g_planHandle;
extern BYTE* g_plan;

// Entry i points at the first record of disk i+1; entry g_diskCount just behind the last.
extern FileRecord* g_diskStart[kMaxDisks + 1];

// Where AllocPlan takes the block from: `size` zero-filled bytes, locked, their handle in
// `*handle`; nullptr when the memory cannot be had. Defined alone in script/planblock.cpp
// with GlobalTake, so that a program may link a definition of its own instead; a block
// handed out with `*handle` left null stays its owner's, and FreePlan only forgets it.
BYTE* TakePlanBlock(HGLOBAL* handle, SIZE_T size);

// Allocates the zero-filled block for `totalFiles` records (a negative count is taken as
// 0) and the tail; frees an earlier plan first. 0 when the memory cannot be had.
int AllocPlan(short totalFiles);
// Lays the disks out in the block from g_diskCount and g_fileCounts: the disk start
// table, the last entry pointing at the tail.
void LayOutDisks();
// Fills record `rec` (from 0) of disk `disk` (from 0) from its line of the disk section.
// A line the setup cannot use whole leaves the record empty, like a missing line.
void FillPlanRecord(int disk, int rec, const char* line);
// Unlocks and frees the block; harmless when there is none.
void FreePlan();

// The record `rec` (from 0) of disk `disk` (from 0), or nullptr when the plan has none.
FileRecord* PlanRecord(int disk, int rec);

// Compose the source path (program directory \ directory name \ source name) and the
// target path (destination `dest`, or nothing for system directories, then target
// directory \ target name) into `out` of `room` characters. 1 when the whole path fitted;
// 0 when it did not, and `out` is then empty.
int SourcePath(int disk, int rec, char* out, int room);
int TargetPath(const char* dest, int disk, int rec, char* out, int room);

// The place of record `rec` of disk `disk` among all records of the plan, counted from 0
// in plan order; -1 when the plan has no such record.
int RecordIndex(int disk, int rec);

// Calls `visit(disk, rec)` for every record of the plan, disk by disk in plan order, or
// newest first when `newestFirst`.
template <typename Visit> void ForEachRecord(Visit visit, bool newestFirst = false)
{
    const int disks = g_diskCount < kMaxDisks ? g_diskCount : kMaxDisks;
    if (newestFirst) {
        for (int disk = disks - 1; disk >= 0; --disk)
            for (int rec = g_fileCounts[disk] - 1; rec >= 0; --rec)
                visit(disk, rec);
        return;
    }
    for (int disk = 0; disk < disks; ++disk)
        for (int rec = 0; rec < g_fileCounts[disk]; ++rec)
            visit(disk, rec);
}
