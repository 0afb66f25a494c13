// The driver of an installation: the order of its steps, run the same for the Installing
// page and for /S, which only watch it through an observer.
#include "engine/installation.h"
#include "engine/commit.h"
#include "engine/utility.h"

namespace {

// Lets the front end handle what the user did; 1 once the user has cancelled (it stays so).
int Cancelled(Installation* run)
{
    const InstallObserver* o = run->observer;
    run->lastStep = GetTickCount();
    run->cancelled = run->cancelled || (o->step && o->step(o->context));
    return run->cancelled;
}

} // namespace

int BetweenChunks(void* context)
{
    Installation* run = static_cast<Installation*>(context);
    if (!run->cancelled && run->observer && GetTickCount() - run->lastStep >= kStepInterval)
        Cancelled(run);
    return !run->cancelled;
}

Outcome RunInstallation(Installation* run, const char* dest, int destCreated, const InstallObserver* observer)
{
    const InstallObserver none = {};
    const InstallObserver* o = observer ? observer : &none;
    BeginInstallation(run, dest, destCreated);
    run->observer = o;
    for (int disk = 0; disk < g_diskCount && disk < kMaxDisks && !run->cancelled; ++disk) {
        if (o->diskBegins)
            o->diskBegins(o->context, disk);
        const int count = g_fileCounts[disk];
        for (int rec = 0; rec < count && !run->cancelled; ++rec) {
            if (o->fileBegins)
                o->fileBegins(o->context, disk, rec);
            int failure;
            const HFILE source = OpenRecordSource(disk, rec, &failure);
            Cancelled(run);
            if (o->fileProgress)
                o->fileProgress(o->context, DiskPercent(rec, count));
            StageRecord(run, disk, rec, source, failure);
            Cancelled(run);
        }
    }
    // Only a whole installation changes anything: after a Cancel, or when a file could
    // not be staged, everything goes back as it was and nothing is registered.
    run->observer = nullptr; // putting back or registering is not interrupted
    if (run->cancelled || run->failed.count) {
        AbandonInstallation(run);
        run->outcome = run->cancelled ? Outcome::Cancelled : Outcome::Failed;
    } else {
        if (o->committing)
            o->committing(o->context);
        if (!CommitInstallation(run))
            run->outcome = Outcome::Failed;
        else
            run->outcome = run->restartNeeded ? Outcome::RestartNeeded : Outcome::Done;
    }
    // The utility runs afterwards when it ran before: the new one, or after a failure the
    // old one again. Not while a restart is pending: the files it uses are replaced then.
    if (run->utilityWasRunning && run->outcome != Outcome::RestartNeeded)
        StartUtility();
    return run->outcome;
}

int DiskPercent(int index, int count)
{
    if (count <= 0)
        return 0;
    return 100 * (index + 1) / count; // 32-bit: no overflow for any 16-bit count
}
