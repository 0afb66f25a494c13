// The steps of one installation as one change: begin, stage every file, then commit (put
// in place, register, count) or put everything back.
#pragma once
#include "engine/installation.h"

// Starts an installation into `dest`: creates the destination's sub-directories, reads
// the restart list and sweeps what an earlier run left in every folder of the plan.
// `destCreated`: the destination itself was created for this run.
void BeginInstallation(Installation* run, const char* dest, int destCreated);
// Opens the source of record `rec` of disk `disk` for staging; a negative handle when it
// cannot be (a record that names no file, a path that does not fit, a source missing or
// unreadable), `failure` then the reason.
HFILE OpenRecordSource(int disk, int rec, int* failure);
// Stages the record from the source OpenRecordSource opened (closed here), or notes it
// among the failures, named by its line, its source or its target as the reason says.
// 1 when staged.
int StageRecord(Installation* run, int disk, int rec, HFILE source, int sourceFailure);
// Stages record `rec` of disk `disk` from the opened source (closed here) for `target`.
// 1 when staged; else `failure` receives the reason (as WriteWholeFile, or read-only).
int StageFile(Installation* run, int disk, int rec, HFILE source, const char* target, int* failure);
// Puts every staged file in place (a target in use is replaced at the next restart),
// then writes the registration and the shared-file counts. Anything that fails is noted
// among the failures and everything is put back. 1 when the installation is complete.
int CommitInstallation(Installation* run);
// Puts everything back: staged files removed, the directories this run created removed
// when empty.
void AbandonInstallation(Installation* run);

// The size of what the run installs: every file put in place or waiting for the restart,
// and every target kept.
DWORDLONG InstalledBytes(const Installation* run);
// The file that holds what the run installs at `target` (a path in the destination or the
// Windows directories): the target, or its staged file while that waits for the restart.
// In `out` of MAX_PATH; 0 when no record of the plan puts a file there.
int InstalledCopy(const Installation* run, const char* target, char* out);

// Creates dest \ name for the directory keys of the destination's sub-directories
// (RootDir, SubDir1-5), in key order; what exists already stays. Returns the keys whose
// directory it created, one bit per key (bit k for key k).
int CreateSubDirectories(const char* dest);
