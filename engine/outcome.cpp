// The one table from a run's outcome to its exit code and the log's result line, for the
// setup and the uninstaller alike.
#include "engine/outcome.h"
#include "base/log.h"

namespace {

struct OutcomeRow {
    Outcome outcome;
    int code;
    const char* setup;     // the setup's result line
    const char* uninstall; // the uninstaller's
};

constexpr OutcomeRow kOutcomes[] = {
    {Outcome::Done, kExitDone, "installed", "removed"},
    {Outcome::RestartNeeded, kExitRestartNeeded, "installed, a restart finishes it",
     "removed, a restart finishes it"},
    {Outcome::Cancelled, kExitCancelled, "cancelled, nothing changed", "cancelled, nothing removed"},
    {Outcome::Failed, kExitFailed, "not installed, nothing changed", "not removed completely"},
    {Outcome::BadSwitch, kExitBadSwitch, "a switch with a bad value, nothing done",
     "a switch with a bad value, nothing done"},
    {Outcome::Busy, kExitBusy, "another installation is in progress, nothing done",
     "another installation is in progress, nothing done"},
};

const OutcomeRow& RowOf(Outcome outcome)
{
    for (const OutcomeRow& row : kOutcomes)
        if (row.outcome == outcome)
            return row;
    return kOutcomes[3]; // not reached: every outcome has its row
}

} // namespace

int OutcomeExitCode(Outcome outcome)
{
    return RowOf(outcome).code;
}

int EndRun(Program program, Outcome outcome, bool reported)
{
    const OutcomeRow& row = RowOf(outcome);
    const int code = reported ? row.code : 0;
    LogLine("result %s, exit code %d", program == Program::Setup ? row.setup : row.uninstall, code);
    LogClose();
    return code;
}
