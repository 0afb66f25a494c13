// What the command line asks of setup.exe, and the installation without a window that
// /S asks for.
#pragma once
#include "base/globals.h"
#include "engine/outcome.h"

struct RunOptions {
    int silent;          // /S: no backdrop, no page, no box
    int noRestart;       // /NORESTART: the Finish page's restart is not carried out
    int reported;        // a switch of these was given: the exit code tells the outcome
    char dest[kPathRoom]; // /D=<path>, empty when not given
    char log[MAX_PATH];  // /LOG=<file>, empty when not given
};

// Reads the switches of `args` (the command line after the program's name); anything
// else on it is ignored. 0 when a switch it knows has a bad value (an empty or too long
// path).
int ReadRunOptions(const char* args, RunOptions* out);

// The Typical installation into the destination in force, with no window: the
// Destination page's checks, the close request to the resident utility, and the same
// whole-or-nothing installation as the Installing page's.
Outcome RunUnattended();
