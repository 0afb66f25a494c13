// One installation as one value: everything a run of the setup decides and changes, from
// the sweep of an earlier run's leftovers to its outcome, and the one driver that runs it
// for both front ends (the Installing page and /S).
#pragma once
#include "base/globals.h"
#include "engine/copy.h"
#include "engine/failed.h"
#include "engine/journal.h"
#include "engine/outcome.h"
#include "engine/inventory.h"
#include "engine/restartlist.h"
#include "script/plan.h"

// Where one record of the plan stands.
enum class Step : BYTE {
    None,      // not staged (or not reached)
    Staged,    // written whole under its staged name
    Created,   // put in place where there was no file
    Replaced,  // put in place; the previous file kept under its backup name
    AtRestart, // target in use: the staged file replaces it at the next restart
    Kept,      // the target stays as it is (newer, or changed by the user); nothing staged
};

struct FileStep {
    Step step;
    BYTE existed; // the target was there when the file was staged
    BYTE attempt; // which staged name (0: the first)
    BYTE inRoot;  // staged under its own name in the staging destination
    BYTE leaving; // the restart list was to delete the target: it counts as not there before
    BYTE listed;   // the inventory of installed files names the target (`content` then says so)
    // What the installation puts at the target: the staged file's size and checksum, or
    // for a kept target what the inventory of the last installation says (listed set).
    FileSum content;
};

struct InstallObserver;

struct Installation {
    char dest[kPathRoom];     // the destination it installs into
    int destCreated;          // the destination itself was created for this run
    HGLOBAL stepsHandle;
    FileStep* steps;          // one per record of the plan, in plan order
    int stepCount;
    int createdDirs;          // bit k: the directory of key k was created by this run
    bool destCounted;         // the destination held UNINSTAL.INF before: its files are counted
    bool restartNeeded;       // a file put in place waits for the restart
    // A destination created for this run is staged whole: "<destination>.~zd" takes the
    // package's files under their own names, and one rename of the directory puts them
    // all in place. Empty when the destination existed before.
    char stageRoot[MAX_PATH];
    bool rootPlaced;          // the staging destination has been renamed to the destination
    RestartList restart;      // the list as read, and this run's changes to it
    bool restartTouched;      // the restart list was changed by this run
    Journal journal;          // every registry change, to be taken back
    Inventory inventory;      // what the last installation into the destination put in place
    FailedList failed;        // what could not be installed or written
    Outcome outcome;
    // The front end watching the run (RunInstallation's observer), asked between the chunks
    // of a large file too, at most every kStepInterval ms; `cancelled` once it said so.
    const InstallObserver* observer;
    DWORD lastStep;
    bool cancelled;
    // Set by the front end before RunInstallation: the close request found the resident
    // utility running. It runs again afterwards unless a restart is pending.
    bool utilityWasRunning;
};

// How often a file's copy stops between two chunks to let the front end handle what the
// user did: often enough for Cancel to act at once, seldom enough to cost nothing.
constexpr DWORD kStepInterval = 50;

// How a front end follows an installation. Every member may be null.
struct InstallObserver {
    void* context;
    // Disk `disk` (from 0) begins.
    void (*diskBegins)(void* context, int disk);
    // Record `rec` of the disk is about to be staged.
    void (*fileBegins)(void* context, int disk, int rec);
    // The disk's percentage once the file is open: DiskPercent(rec, files on the disk).
    void (*fileProgress)(void* context, int percent);
    // Between two steps of the copy: handles what the user did meanwhile. 1 when the
    // user has cancelled; the copy then stops before the next file.
    int (*step)(void* context);
    // Every file is staged: the registration is about to be written.
    void (*committing)(void* context);
};

// Runs the installation of the plan into `dest` from start to outcome: sweeps what an
// earlier run left, stages every file, then puts them in place and writes the
// registration and the counts, or puts everything back when the user cancelled or
// anything failed. `destCreated`: `dest` was created for this run. The outcome is also in
// run->outcome; what failed in run->failed.
Outcome RunInstallation(Installation* run, const char* dest, int destCreated, const InstallObserver* observer);

// Called by the copy between two chunks of a file with the run as `context`: lets the
// front end handle what the user did. 0 when the user has cancelled.
int BetweenChunks(void* context);

// Percentage of disk progress shown while file `index` (from 0) of `count` is copied:
// 100 * (index + 1) / count, truncated; 0 for an empty disk.
int DiskPercent(int index, int count);
