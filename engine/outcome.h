// How a run of either program ends, and what it tells: the exit code a deployment tool
// reads (the codes the platform's own installer uses) and the log's last line.
#pragma once

enum class Outcome {
    Done,          // installed (removed)
    RestartNeeded, // done; a restart finishes it
    Cancelled,     // cancelled by the user; nothing changed
    Failed,        // not installed (not removed); nothing harmful done
    BadSwitch,     // a switch it knows with a bad value; nothing done
    Busy,          // another setup or uninstaller of the package runs; nothing done
};

constexpr int kExitDone = 0;
constexpr int kExitBadSwitch = 87;
constexpr int kExitCancelled = 1602;
constexpr int kExitFailed = 1603;
constexpr int kExitBusy = 1618; // deployment tools try again later
constexpr int kExitRestartNeeded = 3010;

// Which program's words the log uses.
enum class Program { Setup, Uninstaller };

// The exit code of `outcome`.
int OutcomeExitCode(Outcome outcome);

// Ends a run: writes the log's result line and closes the log. Returns the exit code of
// `outcome` when `reported` (a switch asked for it), else 0.
int EndRun(Program program, Outcome outcome, bool reported);
