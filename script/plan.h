// The install plan: one zero-filled block of file records, disk after disk, followed by
// ten program-item records.
#pragma once
#include "app/globals.h"

struct FileRecord {
    char dirName[40];     // sub-directory of the program directory holding the source
    char targetDir[40];   // absolute (systemDir 1) or relative to the destination (0)
    char sourceName[15];
    char targetName[15];
    char description[62];
    int systemDir;
};
static_assert(sizeof(FileRecord) == 176, "file records are 176 bytes");

struct ProgramItem {
    char field1[15];
    char field2[40];
    char field3[5];
};
static_assert(sizeof(ProgramItem) == 60, "program-item records are 60 bytes");

constexpr int kProgramItems = 10;

// Entry i points at the first record of disk i+1; entry g_diskCount just behind the last.
extern FileRecord* g_diskStart[kMaxDisks + 1];
extern ProgramItem* g_programItems[kProgramItems];

int AllocPlan(short totalFiles);
void BuildPlan();
void FreePlan();

// The record `rec` (from 0) of disk `disk` (from 0).
FileRecord* PlanRecord(int disk, int rec);

// Compose the source path (program directory \ directory name \ source name) and the
// target path (destination directory current now, or nothing for system directories,
// then target directory \ target name) into `out` of `room` characters. 1 when the whole
// path fitted; 0 when it did not, and `out` is then empty.
int SourcePath(int disk, int rec, char* out, int room);
int TargetPath(int disk, int rec, char* out, int room);
