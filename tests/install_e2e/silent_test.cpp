// setup.exe and UNINSTAL.EXE started as a deployment tool starts them: /S with its exit
// codes and /LOG=, measured against what the wizard does; an argument setup.exe does not
// know leaves the wizard as it is.
#include "install_e2e.h"
#include "engine/outcome.h"

namespace {

constexpr char kLog[] = "C:\\e2e\\setup.log";

class Silent : public InstallE2E {
protected:
    // Starts a fresh medium's setup.exe (`inf` its SETUP.INF) with `args`, the medium's
    // wheel library replaced by `hook` (a Unix path) when given; its exit code.
    DWORD Setup(const std::string& inf, const std::string& args, const char* hook = nullptr)
    {
        if (!MakeMedium(kMediumDir, inf.c_str()))
            return 0xDEAD;
        // Stored plain under the compressed name: the expansion copies a plain file as it is.
        if (hook && !CopyFileA(DosPath(hook).c_str(), (std::string(kMediumDir) + "\\SYSTEM\\VWHOOK.DL_").c_str(), FALSE))
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

// The window of the resident utility, when a program other than this test shows it
// within `waitMs`.
HWND UtilityShown(DWORD waitMs = 10000)
{
    for (DWORD start = GetTickCount();; Sleep(50)) {
        HWND w = FindWindowA(nullptr, "ZaderUvori");
        DWORD pid = 0;
        if (w && GetWindowThreadProcessId(w, &pid) && pid != GetCurrentProcessId())
            return w;
        if (GetTickCount() - start >= waitMs)
            return nullptr;
    }
}

// The installed utility started as a logon starts it, from the Run value; closed again,
// whoever started it last, when the test ends.
struct RunningUtility {
    SetupRun run;
    bool Start(const char* dir)
    {
        return StartCommand(&run, RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori").c_str(), dir) && UtilityShown();
    }
    ~RunningUtility()
    {
        for (HWND w; (w = UtilityShown(0)) != nullptr; Sleep(100))
            PostMessageA(w, WM_CLOSE, 0, 0);
        KillSetup(&run);
    }
};

long RegNumber(const char* name)
{
    HKEY k;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &k))
        return -1;
    LONG r = RegQueryValueExA(k, name, nullptr, &type, (BYTE*)&value, &size);
    RegCloseKey(k);
    return r || type != REG_DWORD ? -1 : (long)value;
}

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
    EXPECT_NE(std::string::npos, log.find("system Windows ")) << log;
    EXPECT_NE(std::string::npos, log.find("computer ")) << log;
    // The test's stand-in counts the request and stays.
    EXPECT_NE(std::string::npos, log.find("resident utility: asked to close, still running after the wait\r\n")) << log;
    EXPECT_EQ(std::string::npos, log.find("\\.\\")) << log;
    EXPECT_NE(std::string::npos, log.find("result installed, exit code 0\r\n")) << log;
    RestorePendingRenames(pending);
}

// One setup or uninstaller of the package at a time: while a wizard runs, a second setup
// and an uninstaller change nothing and say so (/S by exit code 1618).
TEST_F(Silent, OneInstallationOrRemovalAtATime)
{
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::vector<std::string> before = Snapshot();
    ASSERT_TRUE(MakeMedium(kMediumDir, DemoScript().c_str()));
    SetupRun first;
    ASSERT_TRUE(StartCommand(&first, ("\"" + std::string(kMediumDir) + "\\setup.exe\"").c_str(), kMediumDir));
    HWND welcome = WaitPage(first, kWelcome);
    ASSERT_TRUE(welcome);

    const std::string second = "\"" + std::string(kMediumDir) + "\\setup.exe\" /S /LOG=" + kLog;
    ASSERT_TRUE(StartCommand(&run, second.c_str(), kMediumDir));
    EXPECT_EQ((DWORD)kExitBusy, End(kWaitLimit));
    EXPECT_NE(std::string::npos, Log().find("result another installation is in progress, nothing done, exit code 1618"))
        << Log();
    ASSERT_TRUE(StartCommand(&run, ("\"" + std::string(kDest) + "\\UNINSTAL.EXE\" /S").c_str(), kDest));
    EXPECT_EQ((DWORD)kExitBusy, End(kWaitLimit));
    ASSERT_TRUE(StartCommand(&run, ("\"" + std::string(kMediumDir) + "\\setup.exe\"").c_str(), kMediumDir));
    HWND box = WaitBox(run, nullptr);
    ASSERT_TRUE(box);
    EXPECT_EQ("Velan Wheel Mouse Setup or Uninstall is already running. Try again when it has finished.", BoxText(box));
    EXPECT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
    EXPECT_EQ(before, Snapshot());

    // And a setup while the uninstaller waits for its answer.
    SetupRun removal;
    ASSERT_TRUE(Press(welcome, IDC_CANCEL));
    HWND warning = WaitBox(first, welcome);
    ASSERT_TRUE(warning);
    EXPECT_TRUE(PressOk(warning));
    EXPECT_TRUE(WaitSetupEnd(&first, kWaitLimit, nullptr));
    KillSetup(&first);
    ASSERT_TRUE(StartCommand(&removal, ("\"" + std::string(kDest) + "\\UNINSTAL.EXE\"").c_str(), kDest));
    HWND question = WaitBox(removal, nullptr);
    ASSERT_TRUE(question);
    EXPECT_EQ((DWORD)kExitBusy, Setup(DemoScript(), "/S"));
    EXPECT_TRUE(Press(question, IDNO));
    EXPECT_TRUE(WaitSetupEnd(&removal, kWaitLimit, nullptr));
    KillSetup(&removal);
    EXPECT_EQ(before, Snapshot());
    // The lock goes with the program that held it.
    EXPECT_EQ((DWORD)kExitDone, Setup(DemoScript(), "/S"));
}

// A script that names no resident utility and no control-panel extension: installed
// whole, with no registry value that would point at the destination itself.
TEST_F(Silent, NoProgramsNoRunOrServerValues)
{
    std::string inf = DemoScript();
    for (const char* line : {"FileName=VWHEEL.EXE", "ControlPanel=VWCPL.DLL"}) {
        const size_t at = inf.find(line);
        ASSERT_NE(std::string::npos, at) << line;
        inf.erase(at + std::string(line).find('=') + 1, std::string(line).size() - std::string(line).find('=') - 1);
    }
    EXPECT_EQ((DWORD)kExitDone, Setup(inf, std::string("/S /LOG=") + kLog));
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("<none>", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, std::string(kHandlersKey) + "\\ZelMousePage", nullptr));
    EXPECT_NE(std::string::npos, Log().find("skipped registry HKEY_LOCAL_MACHINE\\" + std::string(kRunKey) +
                                            ": the script names no program")) << Log();
    const std::string pending = PendingRenames();
    ASSERT_TRUE(StartCommand(&run, ("\"" + std::string(kDest) + "\\UNINSTAL.EXE\" /S").c_str(), kDest));
    EXPECT_EQ((DWORD)kExitDone, End(kWaitLimit));
    RestorePendingRenames(pending);
    EXPECT_FALSE(RegistrationPresent());
    EXPECT_FALSE(DirExists(kDest));
}

// An upgrade keeps a newer library in the Windows directories and counts it all the same;
// a newer one replaces it; files the user changed stay. The Uninstall entry describes
// what is installed, and the utility that ran before the installation runs after it.
TEST_F(Silent, UpgradesKeepWhatIsNewerAndWhatIsTheUsersAndTheUtilityRunsAgain)
{
    const std::string hook = Installed("<win>\\SYSTEM\\VWHOOK.DLL");
    const std::string dest = kDest, pending = PendingRenames();
    ASSERT_EQ((DWORD)kExitDone, Setup(DemoScript(), "/S"));
    EXPECT_EQ("2.1.0.0", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"));
    EXPECT_EQ("Velan", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher"));
    EXPECT_EQ(dest + "\\VWHEEL.EXE", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"));
    EXPECT_EQ(dest, RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"));
    EXPECT_EQ("\"" + dest + "\\UNINSTAL.EXE\" /S", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"));
    EXPECT_EQ(1, RegNumber("NoModify"));
    EXPECT_EQ(1, RegNumber("NoRepair"));
    EXPECT_GE(RegNumber("EstimatedSize"), 20); // KB: the demo's programs and texts
    EXPECT_LE(RegNumber("EstimatedSize"), 2000);
    RunningUtility utility;
    ASSERT_TRUE(utility.Start(kDest));

    // An older medium, into another destination: the newer library stays, counted by both.
    EXPECT_EQ((DWORD)kExitDone, Setup(DemoScript("C:\\e2e\\OTHER"), std::string("/S /LOG=") + kLog, HOOK_OLDER_DLL));
    EXPECT_EQ(ReadFileText(DosPath(DEMO_PAYLOAD_DIR) + "\\SYSTEM\\VWHOOK.DLL"), ReadFileText(hook));
    EXPECT_EQ(2, SharedCount(hook));
    std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("kept " + hook + ": version 2.1.0.0 on this machine is newer than 2.0.0.0\r\n"))
        << log;
    EXPECT_TRUE(WaitSetupEnd(&utility.run, 10000)) << "the utility was not closed";
    EXPECT_TRUE(UtilityShown()) << "the utility does not run again\n" << log;
    EXPECT_NE(std::string::npos, log.find("resident utility: started again, C:\\e2e\\OTHER\\VWHEEL.EXE\r\n")) << log;

    // A newer medium replaces it; the settings and the scheme the user changed stay, through
    // this upgrade and the next reinstallation; an unchanged scheme is replaced.
    const std::string ini = Installed("<win>\\VWHEEL.INI"), scheme = dest + "\\SCHEMES\\OFFICE.VWS";
    ASSERT_TRUE(WriteFileText(ini, "[Wheel]\r\nLines=7\r\n"));
    ASSERT_TRUE(WriteFileText(scheme, "mine"));
    for (const char* medium : {HOOK_NEWER_DLL, HOOK_NEWER_DLL}) {
        EXPECT_EQ((DWORD)kExitDone, Setup(DemoScript(), std::string("/S /LOG=") + kLog, medium));
        log = Log();
        EXPECT_NE(std::string::npos, log.find("kept " + ini + ": changed since it was installed\r\n")) << log;
        EXPECT_NE(std::string::npos, log.find("kept " + scheme + ": changed since it was installed\r\n")) << log;
        EXPECT_NE(std::string::npos, log.find("\\SCHEMES\\DEFAULT.VWS: replaced\r\n")) << log;
        EXPECT_EQ("[Wheel]\r\nLines=7\r\n", ReadFileText(ini));
        EXPECT_EQ("mine", ReadFileText(scheme));
        // Up when the setup ends: the next setup finds it to ask it to close.
        EXPECT_TRUE(UtilityShown(0));
    }
    EXPECT_EQ(ReadFileText(DosPath(HOOK_NEWER_DLL)), ReadFileText(hook));
    EXPECT_NE(std::string::npos, log.find(hook + ": replaced\r\n")) << log;
    EXPECT_TRUE(ListNames(dest, "*.~z*").empty()) << "a file in use was replaced";
    RestorePendingRenames(pending);
}

// A destination with blanks needs no quotes; a file in use makes the restart finish it.
TEST_F(Silent, DestinationWithBlanksAndAFileInUse)
{
    const std::string pending = PendingRenames();
    const std::string dest = "C:\\e2e\\Velan Test";
    // The destination, unquoted, ends where one of our switches follows it.
    EXPECT_EQ((DWORD)kExitDone, Setup(DemoScript(), "/D=" + dest + " /S /LOG=" + kLog));
    EXPECT_TRUE(FileExists((dest + "\\VWHEEL.EXE").c_str()));
    EXPECT_NE(std::string::npos, Log().find("destination " + dest + " (created")) << Log();
    EXPECT_EQ("\"" + dest + "\\UNINSTAL.EXE\"", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));

    const std::string hook = Installed("<win>\\SYSTEM\\VWHOOK.DLL");
    RunningUtility utility;
    ASSERT_TRUE(utility.Start(dest.c_str()));
    HANDLE held = CreateFileA(hook.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ((DWORD)kExitRestartNeeded, Setup(DemoScript(), "/LOG=" + std::string(kLog) + " /S /D=\"" + dest + "\""));
    CloseHandle(held);
    EXPECT_FALSE(UtilityShown(1000)) << "the utility runs while a restart is pending";
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
