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

TEST(Sequence, TypicalRunGoesStraightToDestinationAndRestoresEveryComponent)
{
    ResetOptions();
    g_options[kOptMouseDriver] = 0;
    g_options[kOptControlPanel] = 0;
    g_options[kOptOthers] = 0;
    EXPECT_EQ(kStepSetupType, NextStep(kStepWelcome, kResultNext));
    EXPECT_EQ(kStepAnythingToInstall, NextStep(kStepSetupType, kResultNext));
    EXPECT_EQ(0, g_options[kOptMouseDriver]) << "the next step is chosen, nothing taken";
    TakeStepResult(kStepSetupType, kResultBack);
    TakeStepResult(kStepSetupType, kResultCancel);
    EXPECT_EQ(0, g_options[kOptMouseDriver]) << "Back and Cancel choose no components";
    TakeStepResult(kStepSetupType, kResultNext);
    for (int i = kOptMouseDriver; i <= kOptOthers; ++i)
        EXPECT_EQ(1, g_options[i]) << i;
    EXPECT_EQ(kStepDestination, NextStep(kStepAnythingToInstall, kResultNext));
    EXPECT_EQ(kStepCloseUtility, NextStep(kStepDestination, kResultNext));
    EXPECT_EQ(kStepInstalling, NextStep(kStepCloseUtility, kResultCancel));
    EXPECT_EQ(kStepFinish, NextStep(kStepInstalling, kResultNext));
    EXPECT_EQ(kStepFinish, NextStep(kStepInstalling, kResultBack));
    EXPECT_EQ(kStepRestart, NextStep(kStepFinish, kResultCancel));
    EXPECT_EQ(kStepDone, NextStep(kStepRestart, kResultNext));
}

TEST(Sequence, CustomRunWithoutTheControlPanelIsNotCompleted)
{
    ResetOptions();
    g_setupType = 0;
    g_options[kOptControlPanel] = 0;
    EXPECT_EQ(kStepComponents, NextStep(kStepSetupType, kResultNext));
    TakeStepResult(kStepSetupType, kResultNext);
    EXPECT_EQ(0, g_options[kOptControlPanel]);
    EXPECT_EQ(kStepAnythingToInstall, NextStep(kStepComponents, kResultNext));
    EXPECT_EQ(kStepNothingChosen, NextStep(kStepAnythingToInstall, kResultNext));
    EXPECT_EQ(kStepCancelled, NextStep(kStepNothingChosen, kResultNext));
    ResetOptions();
}

TEST(Sequence, BackFollowsTheSetupTypeInForce)
{
    ResetOptions();
    EXPECT_EQ(kStepSetupType, NextStep(kStepWelcome, kResultBack));
    EXPECT_EQ(kStepWelcome, NextStep(kStepSetupType, kResultBack));
    EXPECT_EQ(kStepSetupType, NextStep(kStepComponents, kResultBack));
    EXPECT_EQ(kStepSetupType, NextStep(kStepDestination, kResultBack));
    g_setupType = 0;
    EXPECT_EQ(kStepComponents, NextStep(kStepDestination, kResultBack));
    ResetOptions();
}

TEST(Sequence, CancelAndPagesThatNeverAnsweredEndTheRun)
{
    for (SequenceStep s : {kStepWelcome, kStepSetupType, kStepComponents, kStepDestination, kStepInstalling}) {
        EXPECT_EQ(kStepCancelled, NextStep(s, kResultCancel)) << s;
        EXPECT_EQ(kStepCancelled, NextStep(s, kResultNoPage)) << s;
    }
    // After installing, a Finish page that was never shown asks no restart.
    EXPECT_EQ(kStepDone, NextStep(kStepFinish, kResultNoPage));
}

// A window titled like the resident utility, on a thread of its own as the utility
// would be in a process of its own.
struct Utility {
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
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
            Sleep(1500); // answers nothing meanwhile
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
        if (thread) {
            WaitForSingleObject(thread, 10000);
            CloseHandle(thread);
        }
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
    EXPECT_EQ(1, CloseUtility(5000));
    EXPECT_EQ(1, u.closes);
    EXPECT_FALSE(IsWindow(u.window));
}

TEST(CloseUtility, UtilityThatDoesNotAnswerIsLeftBehindAfterTheWait)
{
    Utility u;
    u.hang = true;
    u.Start();
    const DWORD start = GetTickCount();
    EXPECT_EQ(1, CloseUtility(300));
    EXPECT_LT(GetTickCount() - start, 1200u);
}

TEST(Privilege, ShutdownPrivilegeIsGrantedAndAnUnknownNameIsNot)
{
    EXPECT_EQ(1, EnablePrivilege("SeShutdownPrivilege"));
    EXPECT_EQ(0, EnablePrivilege("SeNoSuchPrivilege"));
}

} // namespace
