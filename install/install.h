// The Installing page with its copy engine, and the system registration.
#pragma once
#include <windows.h>
#include "install/registration.h"

LRESULT CALLBACK InstallPageProc(HWND, UINT, WPARAM, LPARAM);
// 1 when the last Installing page ended because the user cancelled (rather than because
// something could not be installed).
int InstallCancelledByUser();

// The window title by which the resident mouse utility is found.
constexpr char kUtilityTitle[] = "ZaderUvori";
// Asks a running resident mouse utility (window titled kUtilityTitle) to close, waiting
// at most `timeoutMs` for its answer. 1 when such a window was found.
int CloseUtility(UINT timeoutMs);
// A utility that does not answer within this time is left behind.
constexpr UINT kUtilityWait = 5000;

// Writes the registry entries of the installed package for the current destination,
// through the registry journal. An entry that cannot be written is noted among the
// failures (named by its key and value) and the next one is still written. 1 when every
// entry was written.
int RegisterSystem();

// Creates destination \ name for the directory keys of the destination's sub-directories
// (RootDir, SubDir1-5), in key order, under `dest` (nullptr: the destination); what
// exists already stays. Returns the keys whose directory it created, one bit per key
// (bit k for key k).
int CreateSubDirectories(const char* dest = nullptr);

// Percentage of disk progress shown while file `index` (from 0) of `count` is copied:
// 100 * (index + 1) / count, truncated; 0 for an empty disk.
int DiskPercent(int index, int count);

// The blue bar for `percent` inside the progress area `control` (page client
// coordinates): the area shrunk by 2, moved 1 left and up, cut to the percentage.
void ProgressBarRect(const RECT* control, int percent, RECT* bar);

// Opens a source for copying (expanded on the way when it is compressed). A negative
// handle means it cannot be opened; `failure`, when given, then receives the string
// number of the reason (not on the medium, unreadable, path too long).
HFILE OpenSourceFile(const char* path, int* failure = nullptr);

// Writes the opened source whole to the new file `path` (expanded on the way) and closes
// the source; a file that does not come out whole is removed again. 1 when written. A
// negative `source` writes nothing and returns 0. `failure`, when given, receives 0 or the
// string number of the reason (damaged on the medium, disk full, cannot be written); it
// is left alone for a negative `source`. The copy goes in chunks; before each chunk but
// the first, `between` (when given) is called with `context`: 0 stops the copy, removes the
// file and gives the failure kCopyCancelled.
constexpr int kCopyCancelled = -1;
int WriteWholeFile(HFILE source, const char* path, int* failure = nullptr,
                   int (*between)(void* context) = nullptr, void* context = nullptr);

// ---- The installation as one change (install/transaction.cpp) ---------------------------
// Every file is first staged whole beside its target under a name of its own; only when
// all are staged are they put in place and the registration written. When anything
// fails, or the user cancels, everything is put back as it was.
//
// Beside a target the installation keeps, while it runs, its staged file
// "<target name>.~zn<record>" and the replaced file "<target name>.~zo<record>" (a
// second staged name "...-<n>" when the first is still named by the restart list). A
// destination created for the run is staged whole as "<destination>.~zd", its files under
// their own names, and put in place by one rename. A run that was killed leaves these
// behind: the next run, and the uninstaller, sweep them away.

// Starts an installation into the current destination: creates the destination's
// sub-directories, reads the restart list and sweeps what an earlier run left in every
// folder of the plan. `destCreated`: the destination itself was created for this run.
void BeginInstallation(int destCreated);
// Opens the source of record `rec` of disk `disk` for staging; a negative handle when it
// cannot be (a record that names no file, a path that does not fit, a source missing or
// unreadable), `failure` then the reason.
HFILE OpenRecordSource(int disk, int rec, int* failure);
// Stages the record from the source OpenRecordSource opened (closed here), or notes it
// among the failures, named by its line, its source or its target as the reason says.
// 1 when staged.
int StageRecord(int disk, int rec, HFILE source, int sourceFailure);
// Stages record `rec` of disk `disk` from the opened source (closed here) for `target`.
// 1 when staged; else `failure` receives the reason (as WriteWholeFile, or read-only).
int StageFile(int disk, int rec, HFILE source, const char* target, int* failure);
// Puts every staged file in place (a target in use is replaced at the next restart),
// then writes the registration and the shared-file counts. Anything that fails is noted
// among the failures and everything is put back. 1 when the installation is complete.
int CommitInstallation();
// Puts everything back: staged files removed, the directories this run created removed
// when empty.
void AbandonInstallation();
// 1 when the last complete installation left files to be replaced at the next restart.
int InstallationNeedsRestart();
// Sweeps the staging leftovers of an earlier, killed run out of folder `dir`: a replaced
// file whose target is missing is put back, every other one removed, except a staged
// file that the restart list still names.
void SweepLeftovers(const char* dir);
// The same in every folder the plan puts files in, for the current destination.
void SweepPlanFolders();

// A shared-file count as the registry holds it for one file (ReadSharedCount).
constexpr long kNoCount = -1;  // no value: installed by an older setup, or never counted
constexpr long kOddCount = -2; // a value that is no count of four bytes: left as it is
// The shared-file count of `path` (named as the plan composes it), kNoCount or kOddCount.
long ReadSharedCount(const char* path);

// The shared-file count a file in a Windows directory has after this installation:
// `had` whether it has one, `count` that count, `existed` whether the file was there
// before, `counted` whether this destination has counted it already.
DWORD SharedCountAfterInstall(bool had, DWORD count, bool existed, bool counted);

// ---- The restart list (install/restartlist.cpp) -----------------------------------------
// Reads PendingFileRenameOperations and keeps it as it was. 0 when it is there but
// cannot be read.
int RestartListRead();
// 1 when an operation of the list takes its file from `path` (a staged file waiting).
int RestartListNamesSource(const char* path);
// 1 when an operation of the list deletes `path`.
int RestartListDeletes(const char* path);
// Takes out of the list read every operation that would replace `path` and, unless
// `replacementsOnly`, every one that would delete or move it (compared as paths).
// Returns how many.
int RestartListForget(const char* path, int replacementsOnly = 0);
// Writes the list back when something was taken out. 0 when it cannot be written.
int RestartListWrite();
// Puts the list back as it was read.
void RestartListRestore();
void RestartListFree();

// ---- The registry journal (install/journal.cpp) -----------------------------------------
// Opens the journal with room for `changes` noted changes. 0 when there is no memory.
int JournalOpen(int changes);
// Forgets what was noted: the changes stay.
void JournalClose();
// Takes back every change noted, newest first.
void JournalRollBack();
// Writes value `name` (nullptr: the default value) of `key`, created when missing, noting
// what was there. 1 when written; 0 when it could not be written or noted.
int JournalSetValue(HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size);
// Deletes `key` when it has no subkeys, noting it and its values (when they cannot be
// noted, the key stays).
void JournalDeleteEmptyKey(HKEY root, const char* key);

// The files of the plan that were not installed, for the warning after the copy.
void ClearFailedFiles();
// Notes file `name` as not installed for the reason string `reason`.
void NoteFailedFile(const char* name, int reason);
// Notes registry value `value` (nullptr: the default value) of `key` as not written,
// named as the list names a file: root \ key \ value.
void NoteFailedEntry(RegRoot root, const char* key, const char* value);
// 1 for the errors that say another program holds a file open.
int FileInUse(DWORD error);
int FailedFileCount();
// The warning owned by `page` that names the files not installed: at most ten lines,
// then how many more.
void FailedFilesWarning(HWND page);

// Waits `ms` milliseconds, taking and discarding every message of the thread meanwhile.
void TimedWait(DWORD ms);
