// The page sequence: which page follows which, the close request to the resident mouse
// utility, and the restart after the Finish page.
#pragma once
#include <windows.h>

enum SequenceStep {
    kStepWelcome,
    kStepSetupType,
    kStepComponents,
    kStepGate,          // no page: component flag 1 decides whether anything is installed
    kStepDestination,
    kStepCloseUtility,  // no page
    kStepInstalling,
    kStepFinish,
    kStepRestart,       // no page
    kStepDone,          // end after the Finish page
    kStepCancelled,     // end without installing further
};

// The step after `step` ended with page result `result` (ignored for steps without a
// page). Choosing Typical sets all four component flags.
SequenceStep NextStep(SequenceStep step, short result);

// Runs the pages from Welcome to the end, frees the install plan and destroys the
// backdrop. Returns the program's exit code, 0.
int RunSequence();

// Asks a running resident mouse utility (window title "ZaderUvori") to close, waiting at
// most `timeoutMs` for its answer. 1 when such a window was found.
int CloseUtility(UINT timeoutMs);

// Enables privilege `name` in the process token. 1 when it is enabled.
int EnablePrivilege(const char* name);
