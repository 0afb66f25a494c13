// The page sequence's transitions, the close request to the resident utility and the
// shutdown privilege.
#include "app/sequence.h"
#include "base/globals.h"
#include "pages/pages.h"
#include "engine/utility.h"
#include <gtest/gtest.h>

namespace {

void ResetOptions()
{
    for (int i = kOptMouseDriver; i <= kOptOthers; ++i)
        g_options[i] = 1;
    g_setupType = 1;
}

// One answer on a walk: what the step ended with (ignored by steps without a page) and the
// step that must follow.
struct Answer {
    short result;
    SequenceStep next;
};

// Walks from the Welcome page to an end (kStepDone or kStepCancelled) with the setup type
// and the "Mouse Control Panel" choice in force.
constexpr struct {
    const char* name;
    int typical;
    int controlPanel;
    Answer answers[14];
} kWalks[] = {
    {"Typical, installed, restarted", 1, 1,
     {{kResultNext, kStepSetupType},
      {kResultNext, kStepAnythingToInstall}, // Typical skips the components
      {kResultNext, kStepDestination},
      {kResultNext, kStepCloseUtility},
      {kResultCancel, kStepInstalling},      // no page: its result means nothing
      {kResultNext, kStepFinish},
      {kResultNext, kStepRestart},
      {kResultNext, kStepDone}}},
    {"Typical, any answer after installing goes on to the restart", 1, 1,
     {{kResultNext, kStepSetupType},
      {kResultNext, kStepAnythingToInstall},
      {kResultNext, kStepDestination},
      {kResultNext, kStepCloseUtility},
      {kResultNext, kStepInstalling},
      {kResultBack, kStepFinish},
      {kResultCancel, kStepRestart},
      {kResultNext, kStepDone}}},
    {"Typical, a Finish page that never answered asks no restart", 1, 1,
     {{kResultNext, kStepSetupType},
      {kResultNext, kStepAnythingToInstall},
      {kResultNext, kStepDestination},
      {kResultNext, kStepCloseUtility},
      {kResultNext, kStepInstalling},
      {kResultNext, kStepFinish},
      {kResultNoPage, kStepDone}}},
    {"Typical, Back from the destination to the setup type", 1, 1,
     {{kResultNext, kStepSetupType},
      {kResultNext, kStepAnythingToInstall},
      {kResultNext, kStepDestination},
      {kResultBack, kStepSetupType},
      {kResultBack, kStepWelcome},
      {kResultBack, kStepSetupType}, // the Welcome page's Back leads on, were it pressed
      {kResultCancel, kStepCancelled}}},
    {"Custom, Back from the destination to the components", 0, 1,
     {{kResultNext, kStepSetupType},
      {kResultNext, kStepComponents},
      {kResultBack, kStepSetupType},
      {kResultNext, kStepComponents},
      {kResultNext, kStepAnythingToInstall},
      {kResultNext, kStepDestination},
      {kResultBack, kStepComponents},
      {kResultNext, kStepAnythingToInstall},
      {kResultNext, kStepDestination},
      {kResultNext, kStepCloseUtility},
      {kResultNext, kStepInstalling},
      {kResultCancel, kStepCancelled}}},
    {"Custom without the control panel is not completed", 0, 0,
     {{kResultNext, kStepSetupType},
      {kResultNext, kStepComponents},
      {kResultNext, kStepAnythingToInstall},
      {kResultNext, kStepNothingChosen},
      {kResultNext, kStepCancelled}}},
};

TEST(Sequence, WalksFromWelcomeToTheEnd)
{
    for (const auto& walk : kWalks) {
        ResetOptions();
        g_setupType = walk.typical;
        g_options[kOptControlPanel] = walk.controlPanel;
        SequenceStep step = kStepWelcome;
        for (const Answer& a : walk.answers) {
            const SequenceStep next = NextStep(step, a.result);
            ASSERT_EQ(a.next, next) << walk.name << ": step " << step << " ended with " << a.result;
            step = next;
            if (step == kStepDone || step == kStepCancelled)
                break;
        }
        EXPECT_TRUE(step == kStepDone || step == kStepCancelled) << walk.name << ": the table stops at " << step;
    }
    ResetOptions();
}

TEST(Sequence, OnlyATypicalChoiceTakesEveryComponent)
{
    ResetOptions();
    g_options[kOptMouseDriver] = 0;
    g_options[kOptControlPanel] = 0;
    g_options[kOptOthers] = 0;
    EXPECT_EQ(kStepAnythingToInstall, NextStep(kStepSetupType, kResultNext));
    EXPECT_EQ(0, g_options[kOptMouseDriver]) << "the next step is chosen, nothing taken";
    TakeStepResult(kStepSetupType, kResultBack);
    TakeStepResult(kStepSetupType, kResultCancel);
    EXPECT_EQ(0, g_options[kOptMouseDriver]) << "Back and Cancel choose no components";
    TakeStepResult(kStepSetupType, kResultNext);
    for (int i = kOptMouseDriver; i <= kOptOthers; ++i)
        EXPECT_EQ(1, g_options[i]) << i;

    g_setupType = 0;
    g_options[kOptControlPanel] = 0;
    TakeStepResult(kStepSetupType, kResultNext);
    EXPECT_EQ(0, g_options[kOptControlPanel]) << "Custom took the components";
    ResetOptions();
}

TEST(Sequence, CancelAndPagesThatNeverAnsweredEndTheRun)
{
    for (SequenceStep s : {kStepWelcome, kStepSetupType, kStepComponents, kStepDestination, kStepInstalling}) {
        EXPECT_EQ(kStepCancelled, NextStep(s, kResultCancel)) << s;
        EXPECT_EQ(kStepCancelled, NextStep(s, kResultNoPage)) << s;
    }
}

// A window titled like the resident utility, on a thread of its own as the utility
// would be in a process of its own.
struct Utility {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr); // lets a hung one go on
    HANDLE thread = nullptr;
    HWND window = nullptr;
    bool hang = false;
    LONG closes = 0;

    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_CLOSE) {
            auto* u = (Utility*)GetWindowLongPtrA(w, GWLP_USERDATA);
            InterlockedIncrement(&u->closes);
        }
        if (m == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(w, m, wp, lp);
    }
    static DWORD WINAPI Run(void* arg)
    {
        auto* u = (Utility*)arg;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "UtilityStandIn";
        RegisterClassA(&wc);
        u->window = CreateWindowExA(0, "UtilityStandIn", "ZaderUvori", WS_POPUP, 0, 0, 10, 10,
                                    nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(u->window, GWLP_USERDATA, (LONG_PTR)u);
        SetEvent(u->ready);
        if (u->hang) {
            // Answers nothing until the test lets it go (or a minute has passed, should
            // the close request wait for it).
            WaitForSingleObject(u->release, 60000);
            DestroyWindow(u->window);
            return 0;
        }
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        return 0;
    }
    void Start()
    {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(ready, INFINITE);
    }
    ~Utility()
    {
        SetEvent(release);
        if (thread) {
            WaitForSingleObject(thread, 60000);
            CloseHandle(thread);
        }
        CloseHandle(release);
        CloseHandle(ready);
    }
};

TEST(CloseUtility, NoUtilityNoRequest)
{
    EXPECT_EQ(0, CloseUtility(100));
}

TEST(CloseUtility, RunningUtilityGetsOneCloseRequest)
{
    Utility u;
    u.Start();
    EXPECT_EQ(1, CloseUtility(60000)); // the wait ends with the answer
    EXPECT_EQ(1, u.closes);
    EXPECT_FALSE(IsWindow(u.window));
}

TEST(CloseUtility, UtilityThatDoesNotAnswerIsLeftBehindAfterTheWait)
{
    Utility u;
    u.hang = true;
    u.Start();
    EXPECT_EQ(1, CloseUtility(300));
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(u.thread, 0)) << "the request waited for the utility";
    EXPECT_TRUE(IsWindow(u.window));
}

TEST(Privilege, ShutdownPrivilegeIsGrantedAndAnUnknownNameIsNot)
{
    EXPECT_EQ(1, EnablePrivilege("SeShutdownPrivilege"));
    EXPECT_EQ(0, EnablePrivilege("SeNoSuchPrivilege"));
}

} // namespace
