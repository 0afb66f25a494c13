// What setup.exe does with the system around it, seen from outside: the platform gate
// with Wine reporting Windows 98, the close request to a running mouse utility, and the
// restart after the Finish page, observed in Wine's relay trace of the calls it made.
#include "e2e.h"
#include <cstdlib>

namespace {

class Platform : public E2ETest {};

const char kRestartCalls[] = "user32.ExitWindowsEx;advapi32.AdjustTokenPrivileges";

} // namespace

TEST_F(Platform, OutsideTheNtFamilyOnlyTheWarningIsShown)
{
    ASSERT_TRUE(SetReportedVersion("win98"));
    ASSERT_TRUE(Start(Script().c_str(), "user32.MessageBoxA;kernel32.GetPrivateProfileStringA;"
                                        "kernel32.GetPrivateProfileIntA"));
    HWND box = WaitBox(run, nullptr);
    ASSERT_TRUE(box) << "no warning box";
    EXPECT_EQ("Warning", Text(box));
    EXPECT_EQ("This Zader Uvori Driver is for Windows NT 4.0 only !", BoxText(box));
    EXPECT_FALSE(FindRunWindow(run, "SetupMain")) << "a backdrop behind the warning";
    EXPECT_FALSE(FindRunWindow(run, kWelcome));
    ASSERT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
    EXPECT_FALSE(RegistrationPresent());
    if (!TraceAvailable())
        GTEST_SKIP() << "no trace log: the calls cannot be checked";
    const std::string& trace = TakeTrace(&run);
    auto boxes = TraceLines(trace, "Call user32.MessageBoxA(");
    ASSERT_EQ(1u, boxes.size()) << TraceCalls(trace);
    EXPECT_NE(std::string::npos, boxes[0].find("(00000000,")) << "the warning has an owner: " << boxes[0];
    EXPECT_NE(std::string::npos, boxes[0].find(",00000030)")) << "not MB_ICONWARNING alone: " << boxes[0];
    EXPECT_TRUE(TraceLines(trace, "Call KERNEL32.GetPrivateProfile").empty()) << "the script was read:\n" << TraceCalls(trace);
}

// The resident utility is asked to close exactly once, after the destination is
// accepted and before the Installing page exists.
TEST_F(Platform, RunningUtilityIsAskedToCloseOnceBeforeInstalling)
{
    UtilityWindow utility;
    ASSERT_TRUE(CreateUtilityWindow(&utility, "ZaderUvori"));
    HWND d = WelcomeToDestination(StartAtWelcome(Script()), false);
    ASSERT_TRUE(d);
    EXPECT_EQ(0, utility.closes) << "asked to close before the destination was accepted";
    ASSERT_TRUE(PressAndLeave(d, IDC_NEXT));
    ASSERT_TRUE(WaitPage(run, kInstalling));
    EXPECT_EQ(1, utility.closes);
    EXPECT_EQ(0, utility.installPageSeen) << "asked only once the Installing page existed";
    FinishAndEnd(WaitPage(run, kFinish), false);
    EXPECT_EQ(1, utility.closes);
    DestroyUtilityWindow(&utility);
}

TEST_F(Platform, RestartYesEnablesThePrivilegeAndRestarts)
{
    if (!TraceAvailable())
        GTEST_SKIP() << "no trace log: the restart cannot be observed";
    HWND f = WelcomeToFinish(StartAtWelcome(Script(), kRestartCalls));
    ASSERT_TRUE(f);
    EXPECT_EQ(1, Checked(f, IDC_RESTART_YES));
    ASSERT_TRUE(PressAndLeave(f, IDC_NEXT));
    // wineboot is disabled for setup.exe, so the restart request fails harmlessly and
    // the program ends by itself; a "Reboot Error !" box would keep it running.
    EXPECT_FALSE(WaitWindow(run, "#32770", "Debug", 1000));
    EXPECT_EQ(0u, End());
    const std::string& trace = TakeTrace(&run);
    auto adjust = TraceLines(trace, "Call advapi32.AdjustTokenPrivileges(");
    ASSERT_EQ(1u, adjust.size()) << TraceCalls(trace);
    auto adjusted = TraceLines(trace, "Ret  advapi32.AdjustTokenPrivileges() retval=00000001");
    EXPECT_EQ(1u, adjusted.size()) << TraceCalls(trace);
    auto exits = TraceLines(trace, "Call user32.ExitWindowsEx(");
    ASSERT_EQ(1u, exits.size()) << TraceCalls(trace);
    EXPECT_NE(std::string::npos, exits[0].find("ExitWindowsEx(00000002,00000000)")) << exits[0];
    EXPECT_LT(trace.find(adjust[0]), trace.find(exits[0])) << "restart requested before the privilege";
}

TEST_F(Platform, RestartNoTouchesNeitherTokenNorWindows)
{
    if (!TraceAvailable())
        GTEST_SKIP() << "no trace log: the restart cannot be observed";
    HWND f = WelcomeToFinish(StartAtWelcome(Script(), kRestartCalls));
    FinishAndEnd(f, false);
    const std::string& trace = TakeTrace(&run);
    EXPECT_FALSE(trace.empty()) << "no trace at all";
    EXPECT_TRUE(TraceLines(trace, "Call advapi32.AdjustTokenPrivileges(").empty()) << TraceCalls(trace);
    EXPECT_TRUE(TraceLines(trace, "Call user32.ExitWindowsEx(").empty()) << TraceCalls(trace);
}

// /NORESTART: the Finish page is as always, but its restart is not carried out; the
// switch makes the exit code tell the outcome.
TEST_F(Platform, NoRestartKeepsTheFinishPageAndDoesNotRestart)
{
    HWND f = WelcomeToFinish(StartAtWelcome(Script(), TraceAvailable() ? kRestartCalls : nullptr, "/NORESTART"));
    ASSERT_TRUE(f);
    EXPECT_EQ(1, Checked(f, IDC_RESTART_YES));
    ASSERT_TRUE(PressAndLeave(f, IDC_FINISH));
    EXPECT_EQ(0u, End());
    if (TraceAvailable()) {
        EXPECT_TRUE(TraceLines(TakeTrace(&run), "Call user32.ExitWindowsEx(").empty());
    }
}

// The installation is complete, but only the Finish button may restart the machine.
TEST_F(Platform, AltF4OnFinishEndsWithoutRestartEvenWithYesChosen)
{
    HWND f = WelcomeToFinish(StartAtWelcome(Script(), TraceAvailable() ? kRestartCalls : nullptr));
    ASSERT_TRUE(f);
    EXPECT_EQ(1, Checked(f, IDC_RESTART_YES));
    ASSERT_TRUE(AltKey(f, VK_F4));
    EXPECT_FALSE(WaitBox(run, f, 500));
    EXPECT_EQ(0u, End());
    if (!TraceAvailable())
        return;
    const std::string& trace = TakeTrace(&run);
    EXPECT_TRUE(TraceLines(trace, "Call user32.ExitWindowsEx(").empty()) << TraceCalls(trace);
}

// Makes sure the suite runs against the Windows it claims (E2E_WINVER): what Wine told
// setup.exe, and that every member of the NT family passes the gate.
TEST_F(Platform, SetupSeesTheSuitesWindowsVersion)
{
    if (!TraceAvailable())
        GTEST_SKIP() << "no trace log: the version cannot be observed";
    HWND w = StartAtWelcome(Script(), "kernel32.GetVersion");
    ASSERT_TRUE(w) << "the gate refused this Windows";
    ASSERT_TRUE(Press(w, IDC_CANCEL));
    ASSERT_TRUE(PressOk(WaitBox(run, w)));
    End();
    const std::string& trace = TakeTrace(&run);
    auto versions = TraceLines(trace, "Ret  KERNEL32.GetVersion() retval=");
    ASSERT_FALSE(versions.empty()) << TraceCalls(trace);
    const char* suite = SuiteVersion();
    if (suite && !lstrcmpiA(suite, "nt40")) {
        EXPECT_NE(std::string::npos, versions[0].find("retval=05650004")) << versions[0];
    }
    const std::string& line = versions[0];
    const unsigned long version = strtoul(line.c_str() + line.find("retval=") + 7, nullptr, 16);
    EXPECT_EQ(0u, version & 0x80000000) << "not the NT family: " << line;
}
