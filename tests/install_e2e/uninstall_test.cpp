// The uninstaller removes only what is its own, driven from outside: one uninstaller of a
// destination at a time, a destination at a drive's root, /S, the exit codes, and files of
// the Windows directories that another installation still counts.
#include "install_e2e.h"
#include "engine/outcome.h"

namespace {

class UninstallE2E : public InstallE2E {};

} // namespace

TEST_F(UninstallE2E, SecondUninstallerOfTheDestinationRemovesNothingAndTheKeptFilesStay)
{
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string program = "\"" + std::string(kDest) + "\\UNINSTAL.EXE\"";
    ASSERT_TRUE(StartCommand(&run, program.c_str(), kDest));
    HWND question = WaitBox(run, nullptr);
    ASSERT_TRUE(question);

    SetupRun second;
    ASSERT_TRUE(StartCommand(&second, program.c_str(), kDest));
    HWND box = WaitBox(second, nullptr);
    ASSERT_TRUE(box);
    EXPECT_EQ("The uninstaller of " + std::string(kDest) + " is running already. This one removes nothing.",
              BoxText(box));
    EXPECT_EQ("Velan Wheel Mouse Uninstall", Text(box));
    EXPECT_TRUE(PressOk(box));
    DWORD code = 0;
    EXPECT_TRUE(WaitSetupEnd(&second, kWaitLimit, &code));
    EXPECT_EQ((DWORD)kExitFailed, code);
    KillSetup(&second);

    // The first goes on; a file in use goes at the restart, which its exit code tells.
    const std::string pending = PendingRenames();
    const std::string readme = std::string(kDest) + "\\README.TXT";
    HANDLE held = CreateFileA(readme.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(Press(question, IDYES));
    HWND closing = WaitBox(run, nullptr);
    ASSERT_TRUE(closing);
    EXPECT_TRUE(PressOk(closing));
    EXPECT_EQ((DWORD)kExitRestartNeeded, End());
    CloseHandle(held);
    EXPECT_TRUE(PendingRemoval(PendingRenames(), readme));
    RestorePendingRenames(pending);
    EXPECT_TRUE(FileExists(Installed("<win>\\SYSTEM32\\DRIVERS\\VWMOUSE.SYS")));
}

TEST_F(UninstallE2E, DriveRootDestinationInstallsAndUninstallsCleanly)
{
    const std::string pending = PendingRenames();
    ASSERT_NO_FATAL_FAILURE(InstallDemo("C:\\"));
    EXPECT_EQ("C:\\VWCPL.DLL", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("C:\\VWHEEL.EXE", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("C:\\UNINSTAL.EXE", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));

    // Silent: no box would let it end; the switch in any case, among others ignored.
    ASSERT_TRUE(StartCommand(&run, "C:\\UNINSTAL.EXE /x /s", "C:\\"));
    EXPECT_EQ((DWORD)kExitDone, End());
    RestorePendingRenames(pending);
    EXPECT_FALSE(RegistrationPresent());
    for (const auto& f : kDemoFiles)
        if (std::string(f.second).compare(0, 6, "<dest>") == 0) {
            EXPECT_FALSE(FileExists(Installed(f.second, "C:"))) << f.second;
            DeleteFileA(Installed(f.second, "C:").c_str());
        }
    for (const char* dir : {"HELP", "DOCS", "TOOLS", "SCHEMES", "SAMPLES"}) {
        EXPECT_FALSE(DirExists(std::string("C:\\") + dir)) << dir;
        RemoveTree(std::string("C:\\") + dir);
    }
}

// needs the setup's shared-file counts
TEST_F(UninstallE2E, SharedFilesStayWhileAnotherInstallationCountsThem)
{
    const std::string ini = Installed("<win>\\VWHEEL.INI"), hook = Installed("<win>\\SYSTEM\\VWHOOK.DLL");
    ASSERT_TRUE(WriteFileText(ini, "another program's")); // there before, with no count
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    if (SharedCount(hook) < 0)
        GTEST_SKIP() << "the setup keeps no shared-file counts";
    EXPECT_EQ(2, SharedCount(ini));
    ASSERT_NO_FATAL_FAILURE(InstallDemo()); // again on the same destination: not counted twice
    const std::string second = std::string(kWorkRoot) + "\\VELAN2";
    ASSERT_NO_FATAL_FAILURE(InstallDemo(second));
    EXPECT_EQ(2, SharedCount(hook));

    // The first copy is not the registered one: the second's files and registration stay.
    const std::string pending = PendingRenames();
    const std::string closing = Uninstall(IDYES, std::string(kDest) + "\\UNINSTAL.EXE");
    EXPECT_NE(std::string::npos, closing.find(hook + ": still in use by the installation in " + second)) << closing;
    EXPECT_NE(std::string::npos, closing.find("name the installation in " + second + ":")) << closing;
    EXPECT_EQ(1, SharedCount(hook));
    EXPECT_EQ(2, SharedCount(ini));
    for (const auto& f : kDemoFiles)
        EXPECT_TRUE(FileExists(Installed(f.second, second))) << f.second;
    EXPECT_EQ(second + "\\UNINSTAL.EXE", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));

    Uninstall(IDYES);
    RestorePendingRenames(pending);
    EXPECT_FALSE(FileExists(hook));
    EXPECT_EQ(-1, SharedCount(hook));
    EXPECT_TRUE(FileExists(ini)) << "a file that was there before the installation";
    EXPECT_EQ(1, SharedCount(ini));
    EXPECT_FALSE(RegistrationPresent());
}

// An uninstallation that leaves a shared file to go at the restart, then a reinstallation
// before it: the file counts as not there before, so the count stays exact and the next
// uninstallation removes it.
TEST_F(UninstallE2E, CountsStayExactAfterAPendingDeletionIsTakenBack)
{
    const std::string pending = PendingRenames();
    const std::string hook = Installed("<win>\\SYSTEM\\VWHOOK.DLL");
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    EXPECT_EQ(1, SharedCount(hook));
    HANDLE held = CreateFileA(hook.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(StartCommand(&run, ("\"" + std::string(kDest) + "\\UNINSTAL.EXE\" /S").c_str(), kDest));
    EXPECT_EQ((DWORD)kExitRestartNeeded, End(kWaitLimit));
    CloseHandle(held);
    EXPECT_EQ(-1, SharedCount(hook));
    EXPECT_TRUE(PendingRemoval(PendingRenames(), hook));

    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    EXPECT_FALSE(PendingRemoval(PendingRenames(), hook));
    EXPECT_EQ(1, SharedCount(hook));
    const std::string closing = Uninstall(IDYES);
    EXPECT_EQ(std::string::npos, closing.find("VWHOOK.DLL")) << closing;
    EXPECT_FALSE(FileExists(hook));
    EXPECT_EQ(-1, SharedCount(hook));
    RestorePendingRenames(pending);
}

// The folder of the live installation renamed: its uninstaller, started from the new
// name, takes its place and leaves nothing of the package.
TEST_F(UninstallE2E, MovedDestinationRemovesEverything)
{
    const std::string pending = PendingRenames();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string moved = std::string(kWorkRoot) + "\\Moved";
    ASSERT_TRUE(MoveFileA(kDest, moved.c_str()));
    ASSERT_TRUE(StartCommand(&run, ("\"" + moved + "\\UNINSTAL.EXE\" /S").c_str(), moved.c_str()));
    EXPECT_EQ((DWORD)kExitDone, End(kWaitLimit));
    RestorePendingRenames(pending);
    EXPECT_FALSE(RegistrationPresent());
    EXPECT_FALSE(DirExists(moved));
    for (const auto& f : kDemoFiles)
        if (std::string(f.second).compare(0, 5, "<win>") == 0 && std::string(f.first).find(".SYS") == std::string::npos)
            EXPECT_FALSE(FileExists(Installed(f.second))) << f.second;
    EXPECT_EQ(-1, SharedCount(Installed("<win>\\SYSTEM\\VWHOOK.DLL")));
}
