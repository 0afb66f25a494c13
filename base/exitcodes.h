// The exit codes of setup.exe and uninstal.exe when started with a switch: the ones the
// platform's own installer uses, which software-distribution tools read.
#pragma once

constexpr int kExitDone = 0;            // installed (removed)
constexpr int kExitBadSwitch = 87;      // a known switch with a bad value
constexpr int kExitCancelled = 1602;    // cancelled by the user; nothing changed
constexpr int kExitFailed = 1603;       // not installed (not removed); nothing harmful done
constexpr int kExitRestartNeeded = 3010; // done; a restart finishes it
