// setup.exe installs for real, driven from outside: the demo medium completely, a large
// medium with a Cancel part-way; the uninstaller removes the demo package again.
#include "install_e2e.h"
#include "support/random.h"
#include <algorithm>

namespace {

// Contents of the large medium's files: distinct for every file, so that a file copied
// to the wrong name or cut short is told apart.
std::string BigContent(int i, size_t size)
{
    std::string data(size, '\0');
    Random x(2463534242u + (unsigned)i * 7919u);
    for (size_t k = 0; k < size; ++k)
        data[k] = (char)x.Next();
    return data;
}

std::string BigName(int i)
{
    char name[16];
    wsprintfA(name, "F%04d.BIN", i);
    return name;
}

// A script of two disks of files F0001.BIN ... in BIG: `first` files, then the rest of `count`.
std::string BigScript(int first, int count)
{
    std::string s = Script("Velan", "") + "[DiskLabel]\r\nDisk1=Large 1\r\nDisk2=Large 2\r\n" +
                    "[DirectoryName]\r\nSubDir1=BIG\r\n[FileCounts]\r\nDisk1=" + std::to_string(first) +
                    "\r\nDisk2=" + std::to_string(count - first) + "\r\n";
    for (int i = 1; i <= count; ++i) {
        if (i == 1 || i == first + 1)
            s += i == 1 ? "[Disk1]\r\n" : "[Disk2]\r\n";
        s += std::to_string(i <= first ? i : i - first) + "=" + BigName(i) + ", " + BigName(i) + ", Large file " +
             std::to_string(i) + ", SubDir1\r\n";
    }
    return s;
}

constexpr size_t kBigSize = 64 << 10;

} // namespace

TEST_F(InstallE2E, DemoMediumInstallsCompletely)
{
    for (const auto& f : kDemoFiles)
        DeleteFileA(Installed(f.second).c_str());
    ASSERT_NO_FATAL_FAILURE(InstallDemo());

    const std::string payload = DosPath(DEMO_PAYLOAD_DIR);
    for (const auto& file : kDemoFiles) {
        std::string want, got;
        ASSERT_TRUE(ReadFileText((payload + "\\" + file.first).c_str(), &want)) << file.first;
        EXPECT_TRUE(ReadFileText(Installed(file.second).c_str(), &got)) << Installed(file.second);
        EXPECT_TRUE(want == got) << Installed(file.second) << ": " << got.size() << " bytes, not " << want.size();
    }
    // Nothing else: no temporary copies beside any target.
    for (const char* dir : {"", "\\HELP", "\\DOCS", "\\TOOLS", "\\SCHEMES", "\\SAMPLES"})
        EXPECT_TRUE(ListNames(kDest + std::string(dir), "*.tmp").empty()) << dir;
    for (const char* dir : {"", "\\SYSTEM", "\\INF", "\\SYSTEM32\\DRIVERS"})
        EXPECT_TRUE(ListNames(WindowsDir() + dir, "zel*.tmp").empty()) << dir;
    std::vector<std::string> top = ListNames(kDest);
    EXPECT_EQ((std::vector<std::string>{"DOCS", "HELP", "README.TXT", "SAMPLES", "SCHEMES", "TOOLS", "UNINSTAL.DAT",
                                        "UNINSTAL.EXE", "UNINSTAL.INF", "VWCPL.DLL", "VWHEEL.EXE"}),
              top);
    std::string medium, installed;
    ASSERT_TRUE(ReadFileText((BuildMedium() + "\\UNINSTAL.INF").c_str(), &medium));
    EXPECT_TRUE(ReadFileText((std::string(kDest) + "\\UNINSTAL.INF").c_str(), &installed) && installed == medium);
    // The registry holds the table's entries for this destination, the paths unquoted.
    EXPECT_EQ("ZelMouseControlPage", RegText(HKEY_CLASSES_ROOT, kClassKey, nullptr));
    EXPECT_EQ(std::string(kDest) + "\\VWCPL.DLL", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("Apartment", RegText(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel"));
    EXPECT_EQ("ZelMousePage", RegText(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr));
    EXPECT_EQ(kClassId,
              RegText(HKEY_LOCAL_MACHINE, (std::string(kHandlersKey) + "\\ZelMousePage").c_str(), nullptr));
    EXPECT_EQ(std::string(kDest) + "\\VWHEEL.EXE", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("Velan Wheel Mouse", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ(std::string(kDest) + "\\UNINSTAL.EXE", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ("2.1.0.0", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"));
    EXPECT_EQ("\"" + std::string(kDest) + "\\UNINSTAL.EXE\" /S",
              RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"));
}

TEST_F(InstallE2E, CancelDuringCopyLeavesEverythingAsBefore)
{
    // A thousand files: several seconds of copying on this platform.
    const int count = 1000;
    HWND welcome = StartAtWelcome(BigScript(40, count));
    ASSERT_TRUE(welcome);
    const std::string big = std::string(kMediumDir) + "\\BIG";
    ASSERT_TRUE(MakeDirs(big.c_str()));
    for (int n = 1; n <= count; ++n)
        ASSERT_TRUE(WriteFileText((big + "\\" + BigName(n)).c_str(), BigContent(n, kBigSize)));
    const std::vector<std::string> before = Snapshot();

    HWND page = ToInstalling(welcome);
    ASSERT_TRUE(page);
    // Half-way: a file from F0500 on is in hand. Polling may miss any single file's
    // status, so the test waits for the number rather than for one name.
    DWORD start = GetTickCount();
    std::string status;
    auto fileNumber = [](const std::string& s) { return s.compare(0, 9, "Copying F") == 0 ? atoi(s.c_str() + 9) : 0; };
    while (fileNumber(status) < 500 && IsWindow(page) && GetTickCount() - start < kWaitLimit)
        status = ItemText(page, IDC_STATUS);
    ASSERT_GE(fileNumber(status), 500) << status;
    ASSERT_LT(fileNumber(status), count) << "the copy ended before Cancel could be pressed";
    MaybeScreenshot("install-midway");
    ASSERT_TRUE(Press(page, IDC_INSTALL_CANCEL));

    HWND box = WaitBox(run, page);
    ASSERT_TRUE(box) << "no warning after Cancel";
    EXPECT_EQ("Velan installation is not completed !", BoxText(box));
    ASSERT_TRUE(PressOk(box));
    EXPECT_EQ(0u, End());
    // Files, folders and registry as before the run: the destination this run created,
    // the files staged in it and the registration never written all gone.
    EXPECT_EQ(before, Snapshot());
    EXPECT_FALSE(DirExists(kDest));
    EXPECT_FALSE(DirExists((std::string(kDest) + ".~zd").c_str()));
}

// The checker and the setup judge a medium alike: one the checker fails for a missing
// and an unexpandable file makes the setup name exactly those, and not finish.
TEST_F(InstallE2E, BrokenMediumFailsTheCheckerAndIsNamedBySetup)
{
    HWND welcome = StartAtWelcome(DemoScript());
    ASSERT_TRUE(welcome);
    const std::string medium = kMediumDir;
    ASSERT_TRUE(DeleteFileA((medium + "\\HELP\\VWHEEL.CNT").c_str()));
    std::string packed;
    ASSERT_TRUE(ReadFileText((medium + "\\SAMPLES\\SCROLL.TX_").c_str(), &packed));
    ASSERT_TRUE(WriteFileText((medium + "\\SAMPLES\\SCROLL.TX_").c_str(), packed.substr(0, packed.size() / 2)));
    EXPECT_EQ(1, CheckMedium(kMediumDir));

    const std::vector<std::string> before = Snapshot();
    HWND page = ToInstalling(welcome);
    ASSERT_TRUE(page);
    const std::string text = AnswerFilesNotInstalled(page, "Velan Wheel Mouse");
    EXPECT_EQ(before, Snapshot()) << "a failed installation changed something";
    EXPECT_EQ(0u, text.find("These files could not be installed:\n\n")) << text;
    EXPECT_NE(std::string::npos, text.find("\nVWHEEL.CNT: not found on the medium")) << text;
    EXPECT_NE(std::string::npos, text.find("\nSCROLL.TX_: damaged on the medium")) << text;
    EXPECT_EQ(3u, (size_t)std::count(text.begin(), text.end(), '\n')) << text;
    EXPECT_FALSE(FileExists((std::string(kDest) + "\\SAMPLES\\SCROLL.TXT").c_str())) << "a cut file installed";
}

TEST_F(InstallE2E, UninstallerRemovesWhatTheSetupInstalledAndNothingElse)
{
    for (const auto& f : kDemoFiles)
        DeleteFileA(Installed(f.second).c_str());
    // Another vendor's handler of the Mouse control panel: there before, there after.
    const std::string vendor = std::string(kHandlersKey) + "\\OtherVendorPage";
    ASSERT_TRUE(RegSetText(HKEY_LOCAL_MACHINE, vendor, nullptr, "{0}"));
    const std::string pendingBefore = PendingRenames();
    const std::vector<std::string> before = Snapshot();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::vector<std::string> installed = Snapshot();

    // No removes nothing and closes nothing; Yes asks the utility to close first.
    UtilityWindow utility;
    ASSERT_TRUE(CreateUtilityWindow(&utility, "ZaderUvori"));
    EXPECT_EQ("", Uninstall(IDNO));
    EXPECT_EQ(installed, Snapshot());
    EXPECT_EQ(0, utility.closes);
    const std::string closing = Uninstall(IDYES);
    EXPECT_EQ(1, utility.closes);
    DestroyUtilityWindow(&utility);

    // Back to the snapshot, apart from the drivers marked keep and what goes at the
    // restart; the closing box names the drivers.
    const std::string pending = PendingRenames();
    const std::string kept[] = {Installed("<win>\\SYSTEM32\\DRIVERS\\VWMOUSE.SYS"),
                                Installed("<win>\\SYSTEM32\\DRIVERS\\VWFILTER.SYS")};
    for (const std::string& line : Snapshot()) {
        if (std::find(before.begin(), before.end(), line) != before.end() || line == kept[0] || line == kept[1])
            continue;
        EXPECT_TRUE(PendingRemoval(pending, line)) << line << " is left and not removed at the restart";
    }
    for (const std::string& line : before)
        EXPECT_TRUE(std::find(installed.begin(), installed.end(), line) != installed.end()) << line << " is gone";
    // The uninstaller waits for the restart outside the destination, which is gone now:
    // nothing pending names it, so installing again before the restart loses nothing.
    EXPECT_FALSE(DirExists(kDest)) << "the destination waits for the restart";
    for (const std::string& file : kept) {
        EXPECT_TRUE(FileExists(file.c_str())) << file;
        EXPECT_NE(std::string::npos, closing.find(file + ": kept")) << closing;
    }
    RestorePendingRenames(pendingBefore);

    // Installing again works; a file of the user's keeps its directory.
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    EXPECT_TRUE(FileExists((std::string(kDest) + "\\VWHEEL.EXE").c_str()));
    const std::string notes = std::string(kDest) + "\\DOCS\\NOTES.TXT";
    ASSERT_TRUE(WriteFileText(notes.c_str(), "mine"));
    const std::string second = Uninstall(IDYES);
    RestorePendingRenames(pendingBefore);
    EXPECT_TRUE(FileExists(notes.c_str()));
    EXPECT_FALSE(FileExists((std::string(kDest) + "\\DOCS\\MANUAL.TXT").c_str()));
    EXPECT_FALSE(DirExists((std::string(kDest) + "\\HELP").c_str()));
    EXPECT_NE(std::string::npos, second.find(std::string(kDest) + "\\DOCS: not empty")) << second;
    EXPECT_FALSE(RegistrationPresent());
    EXPECT_EQ("{0}", RegText(HKEY_LOCAL_MACHINE, vendor.c_str(), nullptr));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, vendor.c_str());

    // Run again after the removal: with a damaged UNINSTAL.INF, then with none, it says
    // so and removes nothing.
    const std::string self = std::string(kDest) + "\\UNINSTAL.EXE";
    const std::string inf = std::string(kDest) + "\\UNINSTAL.INF";
    ASSERT_TRUE(CopyFileA(DosPath(UNINSTAL_EXE).c_str(), self.c_str(), FALSE));
    ASSERT_TRUE(WriteFileText(inf.c_str(), "[Main]\r\nProductName=\x01\xff\r\n[FileCounts\r\nDisk1=-7\r\n"));
    for (const char* want : {" is damaged: it names no product or no file. Nothing was removed.",
                             "UNINSTAL.INF cannot be read in "}) {
        ASSERT_TRUE(StartCommand(&run, ("\"" + self + "\"").c_str(), kDest));
        HWND box = WaitBox(run, nullptr);
        ASSERT_TRUE(box);
        EXPECT_NE(std::string::npos, BoxText(box).find(want)) << BoxText(box);
        EXPECT_TRUE(PressOk(box));
        End();
        DeleteFileA(inf.c_str());
        EXPECT_TRUE(FileExists(notes.c_str()));
        EXPECT_TRUE(FileExists(self.c_str()));
    }
}

// An upgrade over a running installation: a program holds the wheel hook open with no
// sharing, so it cannot be replaced now. The setup still finishes; the hook's new
// version waits beside it and replaces it at the restart.
TEST_F(InstallE2E, UpgradeOverAFileInUseFinishesAndReplacesItAtTheRestart)
{
    for (const auto& f : kDemoFiles)
        DeleteFileA(Installed(f.second).c_str());
    const std::string pendingBefore = PendingRenames();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string hook = Installed("<win>\\SYSTEM\\VWHOOK.DLL");
    ASSERT_TRUE(WriteFileText(hook.c_str(), "version 1"));
    HANDLE held = CreateFileA(hook.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    CloseHandle(held);

    std::string got, want;
    EXPECT_TRUE(ReadFileText(hook.c_str(), &got) && got == "version 1");
    ASSERT_TRUE(ReadFileText((DosPath(DEMO_PAYLOAD_DIR) + "\\SYSTEM\\VWHOOK.DLL").c_str(), &want));
    std::string staged;
    for (const auto& pair : PendingPairs(PendingRenames()))
        if (lstrcmpiA(pair.second.c_str(), ("!\\??\\" + hook).c_str()) == 0)
            staged = pair.first.substr(4);
    ASSERT_NE("", staged) << "no replacement of " << hook << " at the restart";
    EXPECT_EQ(0u, staged.find(hook + ".~zn")) << staged;
    EXPECT_TRUE(ReadFileText(staged.c_str(), &got) && got == want) << staged << " does not hold the new version";
    EXPECT_EQ(1u, ListNames(WindowsDir() + "\\SYSTEM", "*.~z*").size()) << "more than the staged file beside it";
    EXPECT_TRUE(ListNames(kDest, "*.~z*").empty()) << ListNames(kDest, "*.~z*")[0];
    EXPECT_EQ(std::string(kDest) + "\\UNINSTAL.EXE", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    DeleteFileA(staged.c_str());
    RestorePendingRenames(pendingBefore);
}

// setup.exe killed in the middle of a large file: no cut file stands under the file's
// name, and the next run leaves nothing of the first behind.
TEST_F(InstallE2E, KilledInTheMiddleOfAFileLeavesNoCutFile)
{
    const std::string script = BigScript(2, 2);
    const std::string dir = std::string(kDest) + "\\BIG";
    // The destination is new: it is staged whole under this name until every file is in it.
    const std::string staging = std::string(kDest) + ".~zd";
    for (int round = 0; round < 2; ++round) {
        HWND welcome = StartAtWelcome(script);
        ASSERT_TRUE(welcome);
        const std::string big = std::string(kMediumDir) + "\\BIG";
        ASSERT_TRUE(MakeDirs(big.c_str()));
        ASSERT_TRUE(WriteFileText((big + "\\" + BigName(1)).c_str(), BigContent(1, kBigSize)));
        ASSERT_TRUE(WriteFileText((big + "\\" + BigName(2)).c_str(), BigContent(2, 48 << 20)));
        HWND page = ToInstalling(welcome);
        ASSERT_TRUE(page);
        if (round == 1)
            break;
        // Killed once the large file is being written.
        bool writing = false;
        for (DWORD start = GetTickCount(); !writing && SetupRunning(&run) && GetTickCount() - start < kWaitLimit;) {
            WIN32_FIND_DATAA fd;
            HANDLE find = FindFirstFileA((staging + "\\BIG\\" + BigName(2)).c_str(), &fd);
            writing = find != INVALID_HANDLE_VALUE && fd.nFileSizeLow > 0;
            if (find != INVALID_HANDLE_VALUE)
                FindClose(find);
        }
        ASSERT_TRUE(writing) << "the large file was never seen being written";
        KillSetup(&run);
        EXPECT_FALSE(FileExists((dir + "\\" + BigName(2)).c_str())) << "a cut file under the file's name";
        EXPECT_FALSE(FileExists((dir + "\\" + BigName(1)).c_str())) << "a file put in place before all were staged";
        EXPECT_TRUE(DirExists(staging.c_str()));
    }
    HWND f = WaitPage(run, kFinish);
    ASSERT_TRUE(f);
    FinishAndEnd(f, false);
    std::string got;
    EXPECT_TRUE(ReadFileText((dir + "\\" + BigName(2)).c_str(), &got) && got.size() == (48u << 20));
    EXPECT_EQ((std::vector<std::string>{BigName(1), BigName(2)}), ListNames(dir));
    EXPECT_FALSE(DirExists(staging.c_str())) << "the killed run's staging destination stays";
}

// An uninstallation that had to leave a file in use for the restart, then the package
// installed again before it: the restart must not delete the fresh file.
TEST_F(InstallE2E, ReinstallBeforeTheRestartCancelsTheRemovalOfItsFiles)
{
    const std::string pendingBefore = PendingRenames();
    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const std::string exe = std::string(kDest) + "\\VWHEEL.EXE";
    HANDLE held = CreateFileA(exe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Uninstall(IDYES);
    CloseHandle(held);
    const auto removal = PendingPairs(PendingRenames());
    ASSERT_TRUE(PendingRemoval(PendingRenames(), exe)) << "the uninstaller did not leave it for the restart";

    ASSERT_NO_FATAL_FAILURE(InstallDemo());
    const auto after = PendingPairs(PendingRenames());
    EXPECT_FALSE(PendingRemoval(PendingRenames(), exe)) << exe << " is still deleted at the restart";
    // Every other operation is kept as it was.
    for (const auto& pair : removal) {
        if (lstrcmpiA(pair.first.c_str(), ("\\??\\" + exe).c_str()) != 0) {
            EXPECT_NE(after.end(), std::find(after.begin(), after.end(), pair)) << pair.first;
        }
    }
    EXPECT_EQ(removal.size() - 1, after.size());
    RestorePendingRenames(pendingBefore);
}
