// The Typical walk through the wizard, as a user clicks it: Welcome, Setup type with
// Typical chosen, the proposed Destination, the Installing page (which leaves by itself),
// Finish with no restart. The end-to-end tests, the demo's walkthrough and the bench walk
// it each with their own ways of waiting, looking and timing, supplied as hooks.
#pragma once
#include "driver.h"
#include "res/ids.h"
#include <functional>

struct WalkStep {
    const char* page;    // the page's window class
    int choice;          // control clicked before the page is left, 0 for none
    bool leavesByItself; // nothing is pressed: the page closes when its work is done
};

inline constexpr WalkStep kTypicalWalk[] = {
    {"SETUP_BEGIN", 0, false},
    {"SETUP_SELTYPE", IDC_TYPICAL, false},
    {"SETUP_SELDIR", 0, false},
    {"SETUP_INSTALL", 0, true},
    {"SETUP_END", IDC_RESTART_NO, false},
};

// What a walker does at each step; an empty hook does the default. A hook returning 0
// (or nullptr) stops the walk.
struct TypicalWalker {
    const SetupRun* run = nullptr;
    // Waits for the step's page. Default: WaitPage.
    std::function<HWND(const WalkStep&)> arrive;
    // On the page once it is up, before its choice is clicked. Default: nothing.
    std::function<int(const WalkStep&, HWND)> onPage;
    // Once the choice is clicked (steps with a choice only). Default: nothing.
    std::function<int(const WalkStep&, HWND)> chosen;
    // Leaves the page. Default: presses Next (Finish on the last page) and waits until
    // the page is gone; a page that leaves by itself is waited for.
    std::function<int(const WalkStep&, HWND)> leave;
};

// Walks the steps of kTypicalWalk on a setup.exe started already, up to and including
// leaving the Finish page. 1 when every page came and was left.
int WalkTypical(const TypicalWalker& walker);
