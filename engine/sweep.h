// The names an installation gives files beside their targets while it runs, and the
// sweep of what a killed run left under them.
//
// Beside a target the installation keeps its staged file "<target name>.~zn<record>" and
// the replaced file "<target name>.~zo<record>" (a second staged name "...-<n>" when the
// first is still named by the restart list). A destination created for the run is staged
// whole as "<destination>.~zd".
#pragma once
#include "engine/restartlist.h"

constexpr char kStagedMark[] = ".~zn";
constexpr char kBackupMark[] = ".~zo";
constexpr char kRootMark[] = ".~zd";
// How many staged names a target may take while older ones wait for the restart.
constexpr int kStagedNames = 10;

// `target` + mark + record number (from 0, written from 1) (+ "-" attempt) in `out` of
// MAX_PATH. 0 when it does not fit.
int SideName(const char* target, const char* mark, int number, int attempt, char* out);

// The staging destination of `dest`: its plain form and the mark, in `out` of MAX_PATH.
int StageRootOf(const char* dest, char* out);

// Sweeps the staging leftovers of an earlier, killed run out of folder `dir`: a replaced
// file whose target is missing is put back, every other one removed, except a staged
// file that restart list `list` still names.
void SweepLeftovers(const char* dir, const RestartList* list);
// The same in every folder the plan puts files in under destination `dest` and in the
// Windows directories, and a staging destination of `dest` that a killed run left.
// One installation or removal runs at a time, so whatever carries the marks is a dead
// run's.
void SweepPlanFolders(const char* dest);
