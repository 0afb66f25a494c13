// The removal's rules against Wine's real registry and files: shared-file counts and Keep
// marks for the live installation and for another one, the registration recognised
// however an older setup spelled its paths, the directories that may go.
#include "uninstall/uninstall.h"
#include "uninstall/rules.h"
#include "base/globals.h"
#include "base/text.h"
#include "script/plan.h"
#include "script/script.h"
#include "support/files.h"
#include "support/registry.h"
#include <gtest/gtest.h>

namespace {

// Short, so that the Windows directories fit the plan's 40-character target directories.
const std::string kRoot = "C:\\rmt";
const std::string kDestination = kRoot + "\\DEST";
const std::string kWindows = kRoot + "\\WIN";

class Removals : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTree(kRoot);
        RemoveRegistration();
        TextCopy(g_windowsDir, kWindows.c_str());
    }
    void TearDown() override
    {
        FreeRemovalState(&rm);
        FreePlan();
        RemoveTree(kRoot);
        RemoveRegistration();
        GetWindowsDirectoryA(g_windowsDir, kPathRoom);
    }
    static ::Removal rm; // the removal under test; large for a test's stack
    // Reads `inf` as the destination's UNINSTAL.INF, as the uninstaller does.
    static void ReadScript(const std::string& inf)
    {
        ASSERT_TRUE(MakeDirs(kDestination));
        ASSERT_TRUE(WriteFileText(kDestination + "\\UNINSTAL.INF", inf));
        ASSERT_EQ(1, SetProgramDir((kDestination + "\\UNINSTAL.EXE").c_str()));
        ASSERT_EQ(1, ReadScriptInProgramDir("UNINSTAL.INF"));
        TextCopy(g_destDir, g_programDir);
        rm = ::Removal{};
        TextCopy(rm.dest, g_destDir);
        ASSERT_EQ(1, ReadKeepMarks(&rm));
    }
};

::Removal Removals::rm;

} // namespace

TEST_F(Removals, SharedFilesFollowTheirCountsAndOnlyTheLiveInstallationTakesTheLast)
{
    ReadScript("[Main]\r\nProductName=Velan\r\n[DiskLabel]\r\nDisk1=One\r\n[FileCounts]\r\nDisk1=6\r\n"
               "[DirectoryName]\r\nSubDir1=HELP\r\n[Disk1]\r\n1=A.DLL,A.DLL,a,WinSystemDir\r\n"
               "2=B.DLL,B.DLL,b,WinSystemDir\r\n3=C.INI,C.INI,c,WinDir\r\n4=D.SYS,D.SYS,d,WinSystem32Dir\r\n"
               "5=E.TXT,E.TXT,e,SubDir1\r\n6=F.INF,F.INF,f,WinInfDir\r\n[Uninstall]\r\nKeep1=1,4\r\n");
    struct File {
        std::string path;
        long count;      // before the removal, -1 none
        long liveCount;  // after the live installation's removal, -2: the file goes
        long otherCount; // after another installation's
    } files[] = {
        {kWindows + "\\SYSTEM\\A.DLL", 2, 1, 1},
        {kWindows + "\\SYSTEM\\B.DLL", 1, -2, 1},
        {kWindows + "\\C.INI", -1, -2, -1},                  // an older setup's: only the live one removes it
        {kWindows + "\\SYSTEM32\\DRIVERS\\D.SYS", 1, -1, 1}, // kept: stays, its count goes
        {kDestination + "\\HELP\\E.TXT", -1, -2, -2},       // the destination's own
    };
    const std::string odd = kWindows + "\\INF\\F.INF"; // a value that is no count: left alone
    for (int live = 1; live >= 0; --live) {
        for (const File& f : files) {
            ASSERT_TRUE(MakeDirs(f.path.substr(0, f.path.rfind('\\'))));
            ASSERT_TRUE(WriteFileText(f.path, "x"));
            SetSharedCount(f.path, f.count);
        }
        ASSERT_TRUE(MakeDirs(kWindows + "\\INF") && WriteFileText(odd, "x") &&
                    RegSetText(HKEY_LOCAL_MACHINE, kSharedDllsKey, odd.c_str(), "1"));

        rm.left = Leftovers();
        rm.live = live;
        const Leftovers& left = rm.left;
        int selfNamed, infNamed;
        RemovePlanFiles(&rm, "C:\\none.exe", "C:\\none.inf", 0, &selfNamed, &infNamed);
        for (const File& f : files) {
            const long want = live ? f.liveCount : f.otherCount;
            EXPECT_EQ(want != -2, FileExists(f.path)) << f.path << (live ? " live" : " other");
            EXPECT_EQ(want == -2 ? -1 : want, SharedCount(f.path)) << f.path << (live ? " live" : " other");
        }
        EXPECT_TRUE(FileExists(odd));
        EXPECT_EQ("1", RegText(HKEY_LOCAL_MACHINE, kSharedDllsKey, odd.c_str()));
        const std::string text = left.text;
        EXPECT_NE(std::string::npos, text.find(files[0].path + ": still in use by another installation")) << text;
        EXPECT_NE(std::string::npos, text.find(files[3].path + ": kept")) << text;
        EXPECT_EQ(0, left.failed);
    }
    for (const File& f : files)
        SetSharedCount(f.path, -1);
    SetSharedCount(odd, -1);
}

TEST_F(Removals, RegistrationIsRecognisedAsPathsAndOnlyTheLiveOneIsRemoved)
{
    ReadScript("[Main]\r\nProductName=Velan\r\n[Startup]\r\nFileName=VWHEEL.EXE\r\nControlPanel=VWCPL.DLL\r\n"
               "[DiskLabel]\r\nDisk1=One\r\n[FileCounts]\r\nDisk1=1\r\n[Disk1]\r\n1=A,A,a,RootDir\r\n");
    // As an older setup wrote it for the destination typed with a trailing backslash.
    const std::string typed = kDestination + "\\\\";
    const std::string handler = std::string(kHandlersKey) + "\\ZelMousePage";
    ASSERT_TRUE(RegSetText(HKEY_CLASSES_ROOT, kClassKey, nullptr, "ZelMouseControlPage") &&
                RegSetText(HKEY_CLASSES_ROOT, kServerKey, nullptr, (typed + "VWCPL.DLL").c_str()) &&
                RegSetText(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel", "Apartment") &&
                RegSetText(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr, "ZelMousePage") &&
                RegSetText(HKEY_LOCAL_MACHINE, handler, nullptr, kClassId) &&
                RegSetText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori", ("\"" + typed + "VWHEEL.EXE\"").c_str()) &&
                RegSetText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Velan") &&
                RegSetText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", (typed + "UNINSTAL.EXE").c_str()));
    char liveDir[MAX_PATH];
    EXPECT_EQ(1, RegisteredHere(rm.dest, liveDir));
    RemoveRegistration(&rm);
    EXPECT_FALSE(RegistrationPresent());
    EXPECT_EQ(0, rm.left.foreign);

    // Another copy registered since: this one is not the live one.
    ASSERT_TRUE(RegSetText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "\"C:\\VELAN 2\\UNINSTAL.EXE\""));
    EXPECT_EQ(0, RegisteredHere(rm.dest, liveDir));
    EXPECT_STREQ("C:\\VELAN 2", liveDir);
}

// Only the destination and what lies in it may go: never a drive root nor a Windows
// directory (the directory keys' ones) nor one that holds them, however spelt.
TEST(DirMayGo, OnlyTheDestinationsOwnDirectoriesAndNeverARootOrAWindowsDirectory)
{
    static constexpr char kWin[] = "C:\\rmt\\WIN";
    constexpr struct {
        const char* dir;
        const char* dest;
        int mayGo;
    } kCases[] = {
        {"C:\\rmt\\DEST", "C:\\rmt\\DEST", 1},
        {"c:\\rmt\\dest\\\\HELP\\", "C:\\rmt\\DEST", 1},
        {"\\??\\C:\\rmt\\DEST\\HELP\\A", "C:\\rmt\\DEST\\", 1},
        {"C:\\rmt\\DEST\\HELP\\..\\..", "C:\\rmt\\DEST", 0}, // climbs out of it
        {"C:\\rmt", "C:\\rmt\\DEST", 0},                  // the destination's parent
        {"C:\\rmt\\DEST2", "C:\\rmt\\DEST", 0},
        {"D:\\rmt\\DEST\\HELP", "C:\\rmt\\DEST", 0},
        {"F:\\", "F:\\", 0},                                 // a drive root, even as the destination
        {"F:\\.", "F:", 0},
        {"F:", "F:", 0},                                      // a drive's current directory
        {"F:\\Velan", "F:\\", 1},                             // below a root destination
        {"", "C:\\rmt\\DEST", 0},
        {"C:\\rmt\\WIN", kWin, 0},                           // the Windows directories, however spelt
        {"C:\\rmt\\WIN\\system32\\", kWin, 0},              // holds SYSTEM32\DRIVERS
        {"c:\\RMT\\win\\SYSTEM32\\drivers", kWin, 0},
        {"C:\\rmt\\WIN\\SYSTEM", kWin, 0},
        {"C:\\rmt\\WIN\\INF", kWin, 0},
        {"C:\\rmt\\WIN\\Velan", kWin, 1},                   // the Windows directory's other folders
        {"C:\\rmt\\WIN\\SYSTEM32\\DRIVERS\\VELAN", "C:\\rmt\\WIN\\SYSTEM32\\DRIVERS", 1},
        {"C:\\rmt", "C:\\rmt", 0},                           // a destination holding the Windows directory
        {"C:\\rmt\\DEST", "C:\\rmt", 1},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.mayGo, DirMayGo(c.dir, c.dest, kWin)) << "\"" << c.dir << "\" for destination \"" << c.dest << "\"";
}
