// Runs the Installing page in-process through the page runner and watches it: a message
// hook sees every message the page's pending-message steps (and the timed wait) take,
// records what the page shows at that moment, and can inject input at chosen moments.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// What the page showed when one message was taken.
struct Seen {
    std::string status;
    std::string percent;
    int barEnd; // one past the rightmost blue column in the bar's middle row, or the area's left + 1
};

struct PageRun {
    short result = -1;
    std::vector<Seen> seen;         // consecutive duplicates dropped
    std::string warning;            // text of the last box shown by the page, if any
    std::vector<std::string> boxes; // texts of every box the page showed, in order
    std::string cancelledIn;        // status when the Cancel click's release was handled
    RECT area{};                    // progress area (control 1011) in page coordinates
    std::vector<std::string> bevel; // colour names of the probe pixels, at the first full bar
    DWORD elapsed = 0;              // milliseconds the page lived
};

// Called at every taken message with the page and the latest status; returns true once it
// has done its work, and is not called again.
using Trigger = std::function<bool(HWND page, const std::string& status)>;

PageRun RunInstallPage(Trigger trigger = nullptr);

// One past the rightmost blue column that the page's bar shows now, in its middle row
// (the progress area's left + 1 when there is none).
int BarEndNow(HWND page);

// Posts a left click (press, then release) onto the page's Cancel button.
void PostCancelClick(HWND page);

// The percent texts in the order first shown.
std::vector<std::string> PercentSequence(const PageRun& run);
bool SawStatus(const PageRun& run, const std::string& status);
