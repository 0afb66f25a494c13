// The Installing page in-process: a medium of the test's own with its SETUP.INF, read by
// the real script reader, installed by the page under the real page runner.
#include "pages/pages.h"
#include "base/globals.h"
#include "base/text.h"
#include "samples.h"
#include "support/files.h"
#include "page_watch.h"
#include "support/registry.h"
#include "script/plan.h"
#include "script/script.h"
#include <gtest/gtest.h>
#include <map>

namespace {

const std::vector<std::string> kBevelAtFullBar = {
    "grey", "white", "blue", "blue", "grey", "white",          // left and right side
    "grey", "white", "blue", "blue", "white", "grey", "white", // top and bottom
};

std::string Lines(int from, int to, const char* dirKey)
{
    std::string text;
    for (int i = from; i <= to; ++i)
        text += std::to_string(i - from + 1) + "=F" + std::to_string(i) + ".TXT, F" + std::to_string(i) +
                ".TXT, File number " + std::to_string(i) + ", " + dirKey + "\n";
    return text;
}

std::string Content(int i)
{
    return "content of file number " + std::to_string(i) + "\r\n";
}

class InstallPage : public ::testing::Test {
protected:
    ScratchDir root;
    std::string medium = root / "MEDIUM";
    std::string dest = root / "DEST";
    std::string win = root / "WIN";

    void SetUp() override
    {
        RemoveRegistration();
        CreateDirectoryA(medium.c_str(), nullptr);
        CreateDirectoryA(dest.c_str(), nullptr);
        CreateDirectoryA(win.c_str(), nullptr);
        g_instance = GetModuleHandleA(nullptr);
        g_screenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
        g_screenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
        TextCopy(g_windowsDir, win.c_str());
        g_pageResult = kResultCancel;
    }
    void TearDown() override
    {
        FreePlan();
        RemoveRegistration();
    }
    void Put(const std::string& dir, const std::string& name, const std::string& data)
    {
        CreateDirectoryA((medium + "\\" + dir).c_str(), nullptr);
        ASSERT_TRUE(WriteFileText(medium + "\\" + dir + "\\" + name, data));
    }
    void PutNumbered(const std::string& dir, int from, int to)
    {
        for (int i = from; i <= to; ++i)
            Put(dir, "F" + std::to_string(i) + ".TXT", Content(i));
    }
    // Reads `script` as the medium's SETUP.INF and installs to `destination`.
    void Script(const std::string& script, const std::string& destination = "")
    {
        ASSERT_TRUE(WriteFileText(medium + "\\SETUP.INF", script));
        TextCopy(g_programDir, medium.c_str());
        ASSERT_EQ(1, ReadSetupScriptInProgramDir());
        TextCopy(g_destDir, (destination.empty() ? dest : destination).c_str());
    }
    bool Installed(int i, const std::string& dir) { return ReadFileText(dir + "\\F" + std::to_string(i) + ".TXT") == Content(i); }
};

} // namespace

TEST_F(InstallPage, InstallsEveryDiskWithStatusPercentageAndBar)
{
    Put("DATA", "SAMPLE.BI_", ReadFileText(SampleDir() + "\\SAMPLE.BI_"));
    PutNumbered("DATA", 2, 2);
    PutNumbered("ROOT", 3, 3);
    PutNumbered("DATA", 4, 10);
    Script("[Main]\nProductName=Velan Test\n"
           "[DiskLabel]\nDisk1=First\nDisk2=Second\n"
           "[DirectoryName]\nRootDir=ROOT\nSubDir1=DATA\nSubDir2=EMPTY\nWinDir=DATA\n"
           "[FileCounts]\nDisk1=3\nDisk2=7\n"
           "[Disk1]\n1=SAMPLE.BI_, BIG.BIN, Expanded sample, SubDir1\n2=F2.TXT, F2.TXT, File number 2, subdir1\n"
           "3=F3.TXT, F3.TXT, File number 3, RootDir\n"
           "[Disk2]\n" + Lines(4, 9, "SubDir1") + "7=F10.TXT, F10.TXT, In Windows, WinDir\n"
           "[Startup]\nFileName=MOUSEUTL.EXE\nControlPanel=MOUSECPL.DLL\n");

    PageRun run = RunInstallPage();

    EXPECT_EQ(kResultNext, run.result);
    EXPECT_EQ("", run.warning);
    EXPECT_TRUE(ReadFileText(dest + "\\DATA\\BIG.BIN") == ReadFileText(SampleDir() + "\\SAMPLE.BIN"));
    EXPECT_TRUE(Installed(2, dest + "\\DATA"));
    EXPECT_TRUE(Installed(3, dest + "\\ROOT"));
    for (int i = 4; i <= 9; ++i)
        EXPECT_TRUE(Installed(i, dest + "\\DATA")) << i;
    EXPECT_TRUE(ReadFileText(win + "\\F10.TXT") == Content(10));
    EXPECT_EQ("DATA EMPTY ROOT UNINSTAL.DAT", ListDir(dest)); // and the record of what it installed
    EXPECT_EQ("F10.TXT", ListDir(win));
    EXPECT_EQ("BIG.BIN F2.TXT F4.TXT F5.TXT F6.TXT F7.TXT F8.TXT F9.TXT", ListDir(dest + "\\DATA")); // nothing staged left
    EXPECT_EQ(1, SharedCount(win + "\\F10.TXT"));

    EXPECT_TRUE(SawStatus(run, "Copying SAMPLE.BI_\n\nExpanded sample"));
    EXPECT_TRUE(SawStatus(run, "Copying F10.TXT\n\nIn Windows"));
    ASSERT_FALSE(run.seen.empty());
    EXPECT_EQ("Updating Registry...", run.seen.back().status);
    EXPECT_EQ((std::vector<std::string>{"0%", "33%", "66%", "100%", "14%", "28%", "42%", "57%", "71%", "85%",
                                        "100%"}),
              PercentSequence(run));

    // Each new percentage comes with its bar; the second disk starts from an empty bar
    // while the text still shows the first disk's 100%. The progress area is 212 pixels
    // wide on the page; the bar starts one column in and ends, full, two columns short
    // of the area's right edge, whole columns only.
    ASSERT_EQ(212, run.area.right - run.area.left);
    const std::map<std::string, int> kBarEnd = {{"0%", 1},   {"14%", 30},  {"28%", 59},  {"33%", 69},
                                                {"42%", 88}, {"57%", 120}, {"66%", 138}, {"71%", 149},
                                                {"85%", 178}, {"100%", 210}};
    bool emptyAtSecondDisk = false;
    for (size_t i = 1; i < run.seen.size(); ++i) {
        const Seen& s = run.seen[i];
        if (s.percent != run.seen[i - 1].percent) {
            ASSERT_EQ(1u, kBarEnd.count(s.percent)) << s.percent;
            EXPECT_EQ(run.area.left + kBarEnd.at(s.percent), s.barEnd) << s.percent;
        }
        if (s.status == "Copying F4.TXT\n\nFile number 4" && s.percent == "100%")
            emptyAtSecondDisk = emptyAtSecondDisk || s.barEnd == run.area.left + 1;
    }
    EXPECT_TRUE(emptyAtSecondDisk);
    EXPECT_EQ(kBevelAtFullBar, run.bevel);

    EXPECT_EQ(dest + "\\MOUSECPL.DLL", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("Velan Test", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_GE(run.elapsed, 1000u); // the wait before the registration
}

TEST_F(InstallPage, BarComesBackAfterAnEraseWhileThePercentageHolds)
{
    // 201 files on one disk: files 3 and 4 both show 1%. The page's background is erased
    // as file 4 begins, taking the bar with it; file 4 draws the same bar again.
    PutNumbered("DATA", 1, 201);
    Script("[DiskLabel]\nDisk1=One\n[DirectoryName]\nSubDir1=DATA\n[FileCounts]\nDisk1=201\n[Disk1]\n" +
           Lines(1, 201, "SubDir1"));
    int erasedTo = -1;
    PageRun run = RunInstallPage([&erasedTo](HWND page, const std::string& status) {
        if (status.rfind("Copying F4.TXT", 0) != 0)
            return false;
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        erasedTo = BarEndNow(page);
        return true;
    });

    EXPECT_EQ(kResultNext, run.result);
    EXPECT_TRUE(Installed(201, dest + "\\DATA"));
    EXPECT_EQ(run.area.left + 1, erasedTo);
    const Seen* lastOfFile4 = nullptr;
    for (const Seen& s : run.seen)
        if (s.status.rfind("Copying F4.TXT", 0) == 0)
            lastOfFile4 = &s;
    ASSERT_NE(nullptr, lastOfFile4);
    EXPECT_EQ("1%", lastOfFile4->percent);
    EXPECT_EQ(run.area.left + 3, lastOfFile4->barEnd); // 1% of the 209 columns: 2 of them
    std::vector<std::string> percents = PercentSequence(run);
    ASSERT_EQ(101u, percents.size()); // 0% to 100%, each shown once, in order
    EXPECT_EQ("50%", percents[50]);
}

TEST_F(InstallPage, CancelFinishesTheFileInHandThenPutsEverythingBack)
{
    PutNumbered("DATA", 1, 6);
    Script("[Main]\nProductName=Velan Test\n[DiskLabel]\nDisk1=One\n[DirectoryName]\nSubDir1=DATA\n"
           "[FileCounts]\nDisk1=6\n[Disk1]\n" + Lines(1, 6, "SubDir1"));

    PageRun run = RunInstallPage([](HWND page, const std::string& status) {
        if (status.rfind("Copying F3.TXT", 0) != 0)
            return false;
        PostCancelClick(page);
        return true;
    });

    EXPECT_EQ(kResultCancel, run.result);
    ASSERT_EQ(0u, run.cancelledIn.rfind("Copying F", 0)) << run.cancelledIn;
    const int inHand = run.cancelledIn[9] - '0';
    EXPECT_GE(inHand, 3);
    EXPECT_LT(inHand, 6);
    // No file after the one in hand was started, and nothing stays: not the files staged,
    // not the directory this run created, not the registration.
    for (int i = inHand + 1; i <= 6; ++i)
        EXPECT_FALSE(SawStatus(run, "Copying F" + std::to_string(i) + ".TXT\n\nFile number " + std::to_string(i))) << i;
    EXPECT_EQ("", ListDir(dest));
    EXPECT_FALSE(SawStatus(run, "Updating Registry..."));
    EXPECT_EQ("Velan Test installation is not completed !", run.warning);
    EXPECT_FALSE(RegistrationPresent());
}

TEST_F(InstallPage, CloseRequestDuringCopyCountsAsCancel)
{
    PutNumbered("DATA", 1, 4);
    Script("[DiskLabel]\nDisk1=One\n[DirectoryName]\nSubDir1=DATA\n[FileCounts]\nDisk1=4\n[Disk1]\n" +
           Lines(1, 4, "SubDir1"));

    PageRun run = RunInstallPage([](HWND page, const std::string& status) {
        if (status.rfind("Copying F2.TXT", 0) != 0)
            return false;
        PostMessageA(page, WM_CLOSE, 0, 0);
        return true;
    });

    EXPECT_EQ(kResultCancel, run.result);
    EXPECT_EQ("", ListDir(dest));
    EXPECT_EQ("Velan installation is not completed !", run.warning);
    EXPECT_FALSE(IsWindow(FindWindowA("SETUP_INSTALL", nullptr)));
}

// Escape cancels the copy as the button does (the end-to-end Installing tests); Enter
// does not press button 1, which is Cancel here.
TEST_F(InstallPage, EnterDuringCopyAndCancelDuringTheWaitChangeNothing)
{
    PutNumbered("DATA", 1, 4);
    Script("[DiskLabel]\nDisk1=One\n[DirectoryName]\nSubDir1=DATA\n[FileCounts]\nDisk1=4\n[Disk1]\n" +
           Lines(1, 4, "SubDir1"));

    int stage = 0;
    PageRun run = RunInstallPage([&stage](HWND page, const std::string& status) {
        HWND button = GetDlgItem(page, 1);
        if (stage == 0 && status.rfind("Copying F2.TXT", 0) == 0) {
            PostMessageA(button, WM_KEYDOWN, VK_RETURN, 1);
            PostMessageA(button, WM_CHAR, 13, 1);
            PostMessageA(button, WM_KEYUP, VK_RETURN, 0xC0000001);
            ++stage;
        } else if (stage == 1 && status == "Updating Registry...") {
            SendMessageA(button, BM_CLICK, 0, 0);
            SendMessageA(page, WM_CLOSE, 0, 0);
            ++stage;
        }
        return stage == 2;
    });

    EXPECT_EQ(2, stage);
    EXPECT_EQ(kResultNext, run.result);
    EXPECT_EQ("", run.warning);
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(Installed(i, dest + "\\DATA")) << i;
}

TEST_F(InstallPage, FaultyRecordsAreSkippedWithoutHarmAndNamed)
{
    // Disk 1 has no files; disk 2: line 1 missing, a source missing over an older target,
    // a directory that cannot be created, an unknown directory key, a good file and a
    // read-only target.
    PutNumbered("DATA", 4, 4);
    PutNumbered("DATA", 6, 6);
    CreateDirectoryA((medium + "\\NO").c_str(), nullptr);
    PutNumbered("NO\\SUCH", 3, 3);
    CreateDirectoryA((dest + "\\DATA").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(dest + "\\DATA\\F2.TXT", "older version"));
    ASSERT_TRUE(WriteFileText(dest + "\\DATA\\F6.TXT", "read-only version"));
    SetFileAttributesA((dest + "\\DATA\\F6.TXT").c_str(), FILE_ATTRIBUTE_READONLY);
    Script("[DiskLabel]\nDisk1=One\nDisk2=Two\n[DirectoryName]\nSubDir1=DATA\nSubDir2=NO\\SUCH\n"
           "[FileCounts]\nDisk1=0\nDisk2=6\n[Disk2]\n2=F2.TXT, F2.TXT, Missing source, SubDir1\n"
           "3=F3.TXT, F3.TXT, Nowhere to go, SubDir2\n4=F4.TXT, F4.TXT, Good, SubDir1\n"
           "5=F4.TXT, F5.TXT, Unknown key, SubDir9\n6=F6.TXT, F6.TXT, Read-only, SubDir1\n");

    PageRun run = RunInstallPage();

    SetFileAttributesA((dest + "\\DATA\\F6.TXT").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(kResultCancel, run.result) << "files missing, yet the installation went on";
    EXPECT_EQ((std::vector<std::string>{"These files could not be installed:\n\n"
                                        "Disk2 line 1: no usable line in SETUP.INF\n"
                                        "F2.TXT: not found on the medium\n"
                                        "F3.TXT: cannot be written\n"
                                        "Disk2 line 5: no usable line in SETUP.INF\n"
                                        "F6.TXT: read-only",
                                        "Velan installation is not completed !"}),
              run.boxes);
    EXPECT_TRUE(SawStatus(run, "Copying \n\n"));
    EXPECT_EQ((std::vector<std::string>{"0%", "16%", "33%", "50%", "66%", "83%", "100%"}), PercentSequence(run));
    // Nothing changed: the good file is not installed either, and nothing is registered.
    EXPECT_EQ("older version", ReadFileText(dest + "\\DATA\\F2.TXT"));
    EXPECT_EQ("DATA", ListDir(dest));
    EXPECT_EQ("F2.TXT F6.TXT", ListDir(dest + "\\DATA"));
    EXPECT_EQ("", ListDir(win));
    EXPECT_FALSE(RegistrationPresent());
}

TEST_F(InstallPage, RegistryEntryThatCannotBeWrittenPutsEverythingBack)
{
    // An upgrade whose registration fails once every file is in place: the utility's
    // name is too long for the Run value. F1 replaces an older file, F2 is new in a
    // directory of this run, F3 goes to the Windows directory.
    PutNumbered("DATA", 1, 3);
    CreateDirectoryA((dest + "\\DATA").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(dest + "\\DATA\\F1.TXT", "older version"));
    Script("[DiskLabel]\nDisk1=One\n[DirectoryName]\nSubDir1=DATA\nSubDir2=NEW\nWinDir=DATA\n[FileCounts]\nDisk1=3\n"
           "[Disk1]\n1=F1.TXT, F1.TXT, Old, SubDir1\n2=F2.TXT, F2.TXT, New, SubDir2\n3=F3.TXT, F3.TXT, Shared, WinDir\n"
           "[Startup]\nFileName=" + std::string(75, 'U') + ".EXE\n");
    CreateDirectoryA((medium + "\\NEW").c_str(), nullptr);
    ASSERT_TRUE(WriteFileText(medium + "\\NEW\\F2.TXT", Content(2)));

    PageRun run = RunInstallPage();

    EXPECT_EQ(kResultCancel, run.result);
    EXPECT_EQ((std::vector<std::string>{"These files could not be installed:\n\nHKEY_LOCAL_MACHINE\\"
                                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\ZaderUvori: cannot be written\n"
                                        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                        "ZaderUvori\\DisplayIcon: cannot be written",
                                        "Velan installation is not completed !"}),
              run.boxes);
    EXPECT_TRUE(SawStatus(run, "Updating Registry..."));
    EXPECT_EQ("older version", ReadFileText(dest + "\\DATA\\F1.TXT"));
    EXPECT_EQ("DATA", ListDir(dest));
    EXPECT_EQ("F1.TXT", ListDir(dest + "\\DATA"));
    EXPECT_EQ("", ListDir(win));
    EXPECT_FALSE(RegistrationPresent());
    EXPECT_EQ(-1, SharedCount(win + "\\F3.TXT"));
}

TEST_F(InstallPage, NoDisksStillCreatesDirectoriesAndRegisters)
{
    Script("[DirectoryName]\nSubDir1=ONE\nSubDir5=FIVE\n[Startup]\nFileName=MOUSEUTL.EXE\n");

    PageRun run = RunInstallPage();

    EXPECT_EQ(kResultNext, run.result);
    EXPECT_EQ("FIVE ONE", ListDir(dest)); // no inventory of no file
    ASSERT_FALSE(run.seen.empty());
    EXPECT_EQ("Updating Registry...", run.seen.back().status);
    EXPECT_GE(run.elapsed, 1000u);
    EXPECT_EQ(dest + "\\MOUSEUTL.EXE", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
}

TEST_F(InstallPage, PathsTooLongForTheirRoomAreNotUsed)
{
    // A 70-character destination: its sub-directory (81 characters) and the target paths
    // in it (88) would have to be cut, which would name some other place, so neither is
    // created; a file directly in the destination (78) still fits.
    std::string name(69 - root.path.size(), 'L');
    std::string longDest = root / name;
    ASSERT_EQ(70u, longDest.size());
    CreateDirectoryA(longDest.c_str(), nullptr);
    PutNumbered("SUBDIRNAME", 1, 1);
    ASSERT_TRUE(WriteFileText(medium + "\\F2.TXT", Content(2)));
    Script("[DiskLabel]\nDisk1=One\n[DirectoryName]\nSubDir1=SUBDIRNAME\n[FileCounts]\nDisk1=2\n"
           "[Disk1]\n1=F1.TXT, F1.TXT, Too long, SubDir1\n2=F2.TXT, F2.TXT, Fits, RootDir\n",
           longDest);

    PageRun run = RunInstallPage();

    EXPECT_EQ(kResultCancel, run.result);
    EXPECT_EQ("These files could not be installed:\n\nF1.TXT: path too long", run.boxes.at(0));
    EXPECT_EQ("", ListDir(longDest));
    EXPECT_EQ("DEST " + name + " MEDIUM WIN", ListDir(root.path));
    EXPECT_EQ("", ListDir(dest));
}
