// What the wizard's end-to-end tests share: scripts for their media and the walk from
// page to page as a user clicks through it.
#pragma once
#include "wizard_test.h"
#include "res/ids.h"
#include <string>

constexpr char kWelcome[] = "SETUP_BEGIN";
constexpr char kSetupType[] = "SETUP_SELTYPE";
constexpr char kComponents[] = "SETUP_SELCOMP";
constexpr char kDestination[] = "SETUP_SELDIR";
constexpr char kInstalling[] = "SETUP_INSTALL";
constexpr char kFinish[] = "SETUP_END";

// The destination the test scripts name; its parent is the work folder, so Next can
// create it, and it goes away with the work folder.
constexpr char kDest[] = "C:\\e2e\\VELAN";

// A script with no disks (nothing to copy: the Installing page only registers) for
// `product`; `extraMain` lines are added to [Main].
std::string Script(const char* product = "Velan", const char* extraMain = "");

class E2ETest : public WizardTest {
protected:
    // Starts setup.exe on a medium with `script` and waits for the Welcome page.
    HWND StartAtWelcome(const std::string& script, const char* relay = nullptr, const char* args = nullptr);
    // Presses `button` and waits for page `cls` to follow; nullptr when it does not.
    HWND Go(HWND page, int button, const char* cls);
    // From the Welcome page to the Destination page, choosing Custom when asked.
    HWND WelcomeToDestination(HWND welcome, bool custom);
    // From the Welcome page to the Finish page the shortest way: Typical, the proposed
    // destination, an installation of what the script names (with Script(): nothing but
    // the registration).
    HWND WelcomeToFinish(HWND welcome);
    // Presses Finish with the restart answer chosen and waits for the end.
    void FinishAndEnd(HWND finish, bool restart);
    // Answers the two boxes of an installation that lacks files, the list of them and
    // then the not-completed warning for `product`, both owned by the Installing page,
    // and waits for the end without a Finish page. The list's text, "" when none came.
    std::string AnswerFilesNotInstalled(HWND installing, const char* product, DWORD timeoutMs = kWaitLimit);
};

// The destination `dest` was created by the Destination page: it stands under its own
// name, or, while a new destination is being installed, under its staging name.
bool DestinationCreated(const std::string& dest);

// Checks that `page` carries the product-named title and sits where a page of the
// template size must: one pixel larger than the template's window, centred.
void ExpectPagePlaced(HWND page, const char* product);
