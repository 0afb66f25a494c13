// The wizard's run: which page follows which, the steps between pages (the close
// request to the resident utility, the not-completed warning, the restart), and the
// installation the Installing page carries out.
#include "app/sequence.h"
#include "base/globals.h"
#include "engine/installation.h"
#include "engine/utility.h"
#include "pages/pages.h"
#include "script/plan.h"
#include "res/ids.h"
#include <stdio.h>

namespace {

struct PageOfStep {
    SequenceStep step;
    const char* className;
    WNDPROC proc;
    int templateId;
};

constexpr PageOfStep kPages[] = {
    {kStepWelcome, "SETUP_BEGIN", WelcomePageProc, IDD_WELCOME},
    {kStepSetupType, "SETUP_SELTYPE", SetupTypePageProc, IDD_SETUPTYPE},
    {kStepComponents, "SETUP_SELCOMP", ComponentsPageProc, IDD_COMPONENTS},
    {kStepDestination, "SETUP_SELDIR", DestinationPageProc, IDD_DESTINATION},
    {kStepInstalling, "SETUP_INSTALL", InstallPageProc, IDD_INSTALLING},
    {kStepFinish, "SETUP_END", FinishPageProc, IDD_FINISH},
};

// What one run of the wizard owns.
struct Wizard {
    Installation run;    // the installation the Installing page carries out
    int restartAllowed;  // cleared by /NORESTART: the restart after the Finish page is not made
};

void Restart(const Wizard& wizard)
{
    if (g_options[kOptRestart] != 1 || !wizard.restartAllowed)
        return;
    if (EnablePrivilege("SeShutdownPrivilege")) {
        ExitWindowsEx(EWX_REBOOT, 0);
        return;
    }
    // A terse box whose caption says "Debug", unlike every other box of the program: kept
    // as it is, text and caption, because users and support know the restart failure by
    // it. Without an owner, so in front of the topmost backdrop only when asked to be.
    MessageBoxA(nullptr, "Reboot Error !", "Debug", MB_OK | MB_TOPMOST);
}

short RunStep(SequenceStep step, Wizard* wizard)
{
    for (const PageOfStep& p : kPages) {
        if (p.step == step)
            return RunPage(p.className, p.proc, p.templateId,
                           step == kStepInstalling ? reinterpret_cast<LPARAM>(&wizard->run) : 0);
    }
    if (step == kStepCloseUtility)
        wizard->run.utilityWasRunning = CloseUtility(kUtilityWait); // started again after the installation
    else if (step == kStepNothingChosen)
        NotCompletedWarning(g_backdrop); // nothing is installed without the control panel
    else if (step == kStepRestart)
        Restart(*wizard);
    return kResultNext;
}

} // namespace

SequenceStep NextStep(SequenceStep step, short result)
{
    if (result == kResultNoPage) {
        // No page answered. After the Finish page the installation is complete, but
        // nobody said yes to a restart.
        return step == kStepFinish ? kStepDone : kStepCancelled;
    }
    switch (step) {
    case kStepWelcome:
        return result == kResultCancel ? kStepCancelled : kStepSetupType;
    case kStepSetupType:
        if (result == kResultCancel)
            return kStepCancelled;
        if (result == kResultBack)
            return kStepWelcome;
        return g_setupType ? kStepAnythingToInstall : kStepComponents;
    case kStepComponents:
        if (result == kResultCancel)
            return kStepCancelled;
        return result == kResultBack ? kStepSetupType : kStepAnythingToInstall;
    case kStepAnythingToInstall:
        return g_options[kOptControlPanel] ? kStepDestination : kStepNothingChosen;
    case kStepNothingChosen:
        return kStepCancelled;
    case kStepDestination:
        if (result == kResultCancel)
            return kStepCancelled;
        if (result == kResultBack)
            return g_setupType ? kStepSetupType : kStepComponents;
        return kStepCloseUtility;
    case kStepCloseUtility:
        return kStepInstalling;
    case kStepInstalling:
        return result == kResultCancel ? kStepCancelled : kStepFinish;
    case kStepFinish:
        return kStepRestart;
    case kStepRestart:
    case kStepDone:
        return kStepDone;
    case kStepCancelled:
        break;
    }
    return kStepCancelled;
}

void TakeStepResult(SequenceStep step, short result)
{
    // Only a Typical choice leads from the Setup Type page straight on.
    if (step == kStepSetupType && NextStep(step, result) == kStepAnythingToInstall) {
        for (int i = kOptMouseDriver; i < kOptMouseDriver + kComponentCount; ++i)
            g_options[i] = 1;
    }
}

int EnablePrivilege(const char* name)
{
    HANDLE process = GetCurrentProcess();
    if (!process)
        return 0;
    HANDLE token;
    if (!OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return 0;
    TOKEN_PRIVILEGES privileges = {};
    static_assert(sizeof privileges == 16, "one privilege entry");
    if (!LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid)) {
        // A GUI program has no console, so nobody sees this line unless its output is
        // captured. Kept on purpose: a start from a console or a log that relies on it
        // still gets it, and the restart failure box follows anyway.
        fputs("\nThe above error means you need to log on as an Administrator", stdout);
        fflush(stdout);
        CloseHandle(token);
        return 0;
    }
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Succeeds also when the token lacks the privilege; only the last error tells.
    AdjustTokenPrivileges(token, FALSE, &privileges, sizeof privileges, nullptr, nullptr);
    const int enabled = GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return enabled;
}

Outcome RunSequence(int allowRestart)
{
    Wizard wizard = {};
    wizard.restartAllowed = allowRestart;
    SequenceStep step = kStepWelcome;
    int failed = 0;
    while (step != kStepDone && step != kStepCancelled) {
        const short result = RunStep(step, &wizard);
        // An Installing page that ends without success was cancelled, or listed what
        // failed.
        if (step == kStepInstalling && result != kResultNext)
            failed = wizard.run.outcome != Outcome::Cancelled;
        // A page that could not be shown, or that went away with the backdrop, has not
        // told the user; before the Finish page that means an unfinished installation.
        if (result == kResultNoPage && step != kStepFinish)
            NotCompletedWarning(IsWindow(g_backdrop) ? g_backdrop : nullptr);
        TakeStepResult(step, result);
        step = NextStep(step, result);
    }
    FreePlan();
    if (g_backdrop && IsWindow(g_backdrop))
        DestroyWindow(g_backdrop);
    g_backdrop = nullptr;
    if (step == kStepCancelled)
        return failed ? Outcome::Failed : Outcome::Cancelled;
    return wizard.run.outcome;
}
