// setup.exe and UNINSTAL.EXE started as a deployment tool starts them: /S with its exit
// codes and /LOG=, measured against what the wizard does; an argument setup.exe does not
// know leaves the wizard as it is.
#include "install_e2e.h"
#include "base/exitcodes.h"

namespace {

constexpr char kLog[] = "C:\\e2e\\setup.log";

class Silent : public InstallE2E {
protected:
    // Starts a fresh medium's setup.exe (`inf` its SETUP.INF) with `args`; its exit code.
    DWORD Setup(const std::string& inf, const std::string& args)
    {
        if (!MakeMedium(kMediumDir, inf.c_str()))
            return 0xDEAD;
        const std::string line = "\"" + std::string(kMediumDir) + "\\setup.exe\" " + args;
        return StartCommand(&run, line.c_str(), kMediumDir) ? End() : 0xDEAD;
    }
    std::string Log(const char* path = kLog)
    {
        std::string text;
        EXPECT_TRUE(ReadFileText(path, &text)) << path;
        return text;
    }
};

} // namespace

TEST_F(Silent, InstallsAsTheWizardDoesAndUninstallsWithoutABox)
{
    const std::string pending = PendingRenames();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::vector<std::string> wizard = Snapshot();
    const std::string uninstallLog = "C:\\e2e\\uninstall.log";
    ASSERT_TRUE(StartCommand(&run, ("\"" + std::string(kDest) + "\\UNINSTAL.EXE\" /S /LOG=" + uninstallLog).c_str(),
                             kDest));
    EXPECT_EQ((DWORD)kExitDone, End());
    EXPECT_FALSE(RegistrationPresent());
    EXPECT_FALSE(DirExists(kDest));
    EXPECT_NE(std::string::npos, Log(uninstallLog.c_str()).find("exit code 0\r\n"));

    UtilityWindow utility;
    ASSERT_TRUE(CreateUtilityWindow(&utility, "ZaderUvori"));
    EXPECT_EQ((DWORD)kExitDone, Setup(DemoScript(), std::string("/S /LOG=") + kLog));
    EXPECT_EQ(1, utility.closes);
    DestroyUtilityWindow(&utility);
    EXPECT_EQ(wizard, Snapshot());
    const std::string log = Log();
    for (const auto& f : kDemoFiles) {
        const std::string name = std::string(f.second).substr(std::string(f.second).rfind('\\'));
        EXPECT_TRUE(log.find(name + ": installed\r\n") != std::string::npos ||
                    log.find(name + ": replaced\r\n") != std::string::npos) // the drivers kept by the removal
            << name << "\n" << log;
    }
    EXPECT_NE(std::string::npos, log.find("command line /S /LOG=")) << log;
    EXPECT_NE(std::string::npos, log.find("result installed, exit code 0\r\n")) << log;
    RestorePendingRenames(pending);
}

// A destination with blanks needs no quotes; a file in use makes the restart finish it.
TEST_F(Silent, DestinationWithBlanksAndAFileInUse)
{
    const std::string pending = PendingRenames();
    const std::string dest = "C:\\e2e\\Velan Test";
    EXPECT_EQ((DWORD)kExitDone, Setup(DemoScript(), "/S /D=" + dest));
    EXPECT_TRUE(FileExists((dest + "\\VWHEEL.EXE").c_str()));
    EXPECT_EQ("\"" + dest + "\\UNINSTAL.EXE\"", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));

    const std::string hook = Installed("<win>\\SYSTEM\\VWHOOK.DLL");
    HANDLE held = CreateFileA(hook.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ((DWORD)kExitRestartNeeded, Setup(DemoScript(), "/LOG=" + std::string(kLog) + " /S /D=\"" + dest + "\""));
    CloseHandle(held);
    std::string staged;
    for (const auto& pair : PendingPairs(PendingRenames()))
        if (lstrcmpiA(pair.second.c_str(), ("!\\??\\" + hook).c_str()) == 0)
            staged = pair.first.substr(4);
    EXPECT_NE("", staged);
    EXPECT_NE(std::string::npos, Log().find(hook + ": in use, replaced at the restart")) << Log();
    DeleteFileA(staged.c_str());
    RestorePendingRenames(pending);
}

// What fails changes nothing and says so; a known switch without its value does nothing;
// an unknown argument is the wizard of old.
TEST_F(Silent, FailuresBadSwitchesAndUnknownArguments)
{
    std::string inf = DemoScript();
    const std::vector<std::string> before = Snapshot();
    ASSERT_TRUE(MakeMedium(kMediumDir, inf.c_str()));
    ASSERT_TRUE(DeleteFileA((std::string(kMediumDir) + "\\HELP\\VWHEEL.CNT").c_str()));
    const std::string line = "\"" + std::string(kMediumDir) + "\\setup.exe\" /S /LOG=" + kLog;
    ASSERT_TRUE(StartCommand(&run, line.c_str(), kMediumDir));
    EXPECT_EQ((DWORD)kExitFailed, End());
    EXPECT_EQ(before, Snapshot());
    EXPECT_NE(std::string::npos, Log().find("failed VWHEEL.CNT: not found on the medium")) << Log();

    EXPECT_EQ((DWORD)kExitBadSwitch, Setup(inf, "/S /D="));
    EXPECT_EQ(before, Snapshot());

    ASSERT_TRUE(MakeMedium(kMediumDir, inf.c_str()));
    ASSERT_TRUE(StartCommand(&run, ("\"" + std::string(kMediumDir) + "\\setup.exe\" /X").c_str(), kMediumDir));
    HWND welcome = WaitPage(run, kWelcome);
    ASSERT_TRUE(welcome) << "no wizard for an unknown argument";
    ASSERT_TRUE(Press(welcome, IDC_CANCEL));
    HWND box = WaitBox(run, welcome);
    ASSERT_TRUE(box);
    EXPECT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
}
