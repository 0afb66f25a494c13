// The page sequence: which page follows which, and the restart after the Finish page.
#pragma once
#include <windows.h>
#include "engine/outcome.h"

enum SequenceStep {
    kStepWelcome,
    kStepSetupType,
    kStepComponents,
    kStepAnythingToInstall, // no page: without "Mouse Control Panel" nothing is installed
    kStepNothingChosen,     // no page: the not-completed warning, then the end
    kStepDestination,
    kStepCloseUtility,      // no page
    kStepInstalling,
    kStepFinish,
    kStepRestart,           // no page
    kStepDone,              // end after the Finish page
    kStepCancelled,         // end without installing further
};

// The step after `step` ended with page result `result` (ignored for steps without a
// page). Reads the setup type and options, changes nothing.
SequenceStep NextStep(SequenceStep step, short result);

// Takes what step `step`, ended with `result`, chose into the options, before the run goes
// on to NextStep: choosing Typical sets all four component flags.
void TakeStepResult(SequenceStep step, short result);

// Runs the pages from Welcome to the end, frees the install plan and destroys the
// backdrop. The restart after the Finish page is carried out only when `allowRestart`.
// Returns the outcome: installed (a restart finishing it or not), cancelled by the user,
// or not installed because something failed.
Outcome RunSequence(int allowRestart = 1);

// Enables privilege `name` in the process token. 1 when it is enabled.
int EnablePrivilege(const char* name);
