// The reader against real scripts, the real INI service and the real registry.
#include "script_fixture.h"
#include <cstring>

namespace {

// ProgramFilesDir as the prefix's registry holds it.
std::string RealProgramFilesDir()
{
    HKEY key;
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, (BYTE*)value, &size);
        RegCloseKey(key);
    }
    return value;
}

// Points this process's HKEY_LOCAL_MACHINE at a scratch key of the current user, so the
// reader meets a version key of the test's making in the real registry.
class MachineKeyOverride {
public:
    static constexpr const char* kRoot = "Software\\VelanScriptTest";
    static constexpr const char* kVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

    MachineKeyOverride()
    {
        RegCreateKeyA(HKEY_CURRENT_USER, kRoot, &root_);
        EXPECT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, root_));
    }
    ~MachineKeyOverride()
    {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(root_);
        const char* keys[] = {"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                              "\\SOFTWARE\\Microsoft\\Windows", "\\SOFTWARE\\Microsoft",
                              "\\SOFTWARE", ""};
        for (const char* k : keys)
            RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kRoot) + k).c_str());
    }
    // Creates the version key and, unless `value` is null, its ProgramFilesDir.
    void Set(const void* value, DWORD size, DWORD type = REG_SZ)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root_, kVersion, &key));
        RegDeleteValueA(key, "ProgramFilesDir");
        if (value)
            RegSetValueExA(key, "ProgramFilesDir", 0, type, (const BYTE*)value, size);
        RegCloseKey(key);
    }
    void Set(const std::string& text) { Set(text.c_str(), (DWORD)text.size() + 1); }

private:
    HKEY root_ = nullptr;
};

std::string DefaultPathScript(const std::string& value)
{
    return "[Main]\r\nDefaultPath=" + value + "\r\n";
}

} // namespace

TEST_F(ScriptTest, MissingScriptGivesDefaultsAndAnEmptyPlan)
{
    TextCopy(g_windowsDir, "D:\\WINNT");
    ASSERT_EQ(1, ReadSetupScriptInProgramDir());
    EXPECT_STREQ("Velan", g_productName);
    EXPECT_STREQ("Velan Setup Program", g_caption);
    EXPECT_STREQ("D:\\VELAN", g_destDir);
    EXPECT_STREQ("VELAN.GRP", g_groupName);
    EXPECT_STREQ("VELAN", g_groupTitle);
    EXPECT_STREQ("KTX0005", g_pnpId);
    EXPECT_EQ(1024, g_minimumSpace);
    EXPECT_EQ(0, g_diskCount);
    EXPECT_EQ(0, g_totalFiles);
    EXPECT_EQ(0, g_programItemCount);
    EXPECT_EQ(0, g_options[kOptLogoHidden]);
    EXPECT_STREQ("", g_titleText);
    EXPECT_STREQ("", g_utilityFile);
    EXPECT_STREQ("", g_controlPanelFile);
    ASSERT_NE(nullptr, g_plan);
    EXPECT_GE(GlobalSize(g_planHandle), 600u);
    EXPECT_EQ((ProgramItem*)g_plan, g_programItems[0]);
    EXPECT_EQ(nullptr, PlanRecord(0, 0));
}

TEST_F(ScriptTest, PresentButEmptyKeysAreEmptyNotDefault)
{
    ASSERT_EQ(1, Read("[Main]\r\nProductName=\r\nGroupName=\r\nPnpID=\r\n"));
    EXPECT_STREQ("", g_productName);
    EXPECT_STREQ(" Setup Program", g_caption);
    EXPECT_STREQ("", g_groupName);
    EXPECT_STREQ("", g_pnpId);
    EXPECT_STREQ("VELAN", g_groupTitle);
}

TEST_F(ScriptTest, DriveFormTakesTheWindowsDrive)
{
    ASSERT_EQ(1, Read(DefaultPathScript("E:\\APPS\\MOUSE")));
    EXPECT_STREQ("C:\\APPS\\MOUSE", g_destDir);
    TextCopy(g_windowsDir, "D:\\WINNT");
    ASSERT_EQ(1, ReadSetupScriptInProgramDir());
    EXPECT_STREQ("D:\\APPS\\MOUSE", g_destDir);
}

TEST_F(ScriptTest, RelativeFormsGoUnderProgramFilesDir)
{
    const std::string pf = RealProgramFilesDir();
    ASSERT_FALSE(pf.empty());
    struct { const char* value; std::string dest; } cases[] = {
        {"VELAN", pf + "\\VELAN"},
        {"\\VELAN", pf + "\\VELAN"},
        {"Velan\\Wheel Mouse", pf + "\\Velan\\Wheel Mouse"},
        {"", pf + "\\"},
        {"X:", pf + "\\X:"}, // two characters are not the drive form
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_EQ(1, Read(DefaultPathScript(c.value)));
        EXPECT_EQ(c.dest, g_destDir);
    }
}

TEST_F(ScriptTest, RelativeDestinationThatDoesNotFitIsRefused)
{
    const std::string pf = RealProgramFilesDir();
    const int fits = 79 - (int)pf.size() - 1; // name length that fills the room exactly
    ASSERT_EQ(1, Read(DefaultPathScript(Letters(fits))));
    EXPECT_EQ(pf + "\\" + Letters(fits), g_destDir);
    // One more character: not cut into another directory, the product's default instead.
    ASSERT_EQ(1, Read(DefaultPathScript(Letters(fits + 1))));
    EXPECT_STREQ("C:\\VELAN", g_destDir);
}

TEST_F(ScriptTest, ProgramFilesDirFromTheRegistryOrTheFallback)
{
    MachineKeyOverride machine;
    // No version key at all.
    ASSERT_EQ(1, Read(DefaultPathScript("VELAN")));
    EXPECT_STREQ("C:\\Program Files\\VELAN", g_destDir);

    machine.Set("D:\\Apps");
    ASSERT_EQ(1, ReadSetupScriptInProgramDir());
    EXPECT_STREQ("D:\\Apps\\VELAN", g_destDir);

    // The key opens but its value cannot be used: missing, empty, not a text, too long,
    // or stored without its terminator at the full room.
    const DWORD number = 42;
    const std::string tooLong = "D:\\" + Letters(77);
    struct { const char* what; const void* data; DWORD size; DWORD type; } unusable[] = {
        {"missing", nullptr, 0, REG_SZ},
        {"empty", "", 1, REG_SZ},
        {"number", &number, sizeof number, REG_DWORD},
        {"too long", tooLong.c_str(), (DWORD)tooLong.size() + 1, REG_SZ},
        {"unterminated", tooLong.c_str(), 80, REG_SZ},
    };
    for (const auto& u : unusable) {
        SCOPED_TRACE(u.what);
        machine.Set(u.data, u.size, u.type);
        ASSERT_EQ(1, ReadSetupScriptInProgramDir());
        EXPECT_STREQ("C:\\Program Files\\VELAN", g_destDir);
    }

    // A value that fills the room whole is taken; the name then no longer fits.
    const std::string full = "D:\\" + Letters(76);
    machine.Set(full);
    ASSERT_EQ(1, Read(DefaultPathScript("")));
    EXPECT_STREQ("C:\\VELAN", g_destDir);
    ASSERT_EQ(1, Read(DefaultPathScript("E:\\KEEP")));
    EXPECT_STREQ("C:\\KEEP", g_destDir);
}

TEST_F(ScriptTest, ProductNameIsCutAt71AndTheCaptionAt79)
{
    const std::string name71 = Letters(71);
    ASSERT_EQ(1, Read("[Main]\r\nProductName=" + name71 + "\r\n"));
    EXPECT_EQ(name71, g_productName);
    EXPECT_EQ(name71 + " Setup P", g_caption);

    ASSERT_EQ(1, Read("[Main]\r\nProductName=" + Letters(200) + "\r\n"));
    EXPECT_EQ(name71, g_productName);
    EXPECT_EQ(name71 + " Setup P", g_caption);

    ASSERT_EQ(1, Read("[Main]\r\nProductName=" + Letters(65) + "\r\n"));
    EXPECT_EQ(Letters(65) + " Setup Program", g_caption); // 79 characters: whole
}

TEST_F(ScriptTest, MinimumSpaceIsHeldWithin0To32767)
{
    struct { const char* value; short kb; } cases[] = {
        {"0", 0}, {"2048", 2048}, {"32767", 32767}, {"32768", 32767},
        {"70000", 32767}, {"-5", 0}, {"-40000", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_EQ(1, Read(std::string("[Main]\r\nMinimumSpace=") + c.value + "\r\n"));
        EXPECT_EQ(c.kb, g_minimumSpace);
    }
}

TEST_F(ScriptTest, DisksInUseAreTheFirstCountDisks)
{
    ASSERT_EQ(1, Read("[DiskLabel]\r\nDisk1=First\r\nDisk3=Third\r\n"
                      "[FileCounts]\r\nDisk1=1\r\nDisk2=2\r\nDisk3=4\r\n"
                      "[Disk1]\r\n1=A.TXT,A.TXT,a,RootDir\r\n"
                      "[Disk2]\r\n1=B.TXT,B.TXT,b,RootDir\r\n"
                      "[Disk3]\r\n1=C.TXT,C.TXT,c,RootDir\r\n"));
    EXPECT_EQ(2, g_diskCount);
    EXPECT_STREQ("Third", g_diskLabels[2]);
    EXPECT_EQ(1, g_fileCounts[0]);
    EXPECT_EQ(2, g_fileCounts[1]);
    EXPECT_EQ(0, g_fileCounts[2]); // beyond the disk count: ignored
    EXPECT_EQ(3, g_totalFiles);
    EXPECT_STREQ("A.TXT", PlanRecord(0, 0)->sourceName);
    EXPECT_STREQ("B.TXT", PlanRecord(1, 0)->sourceName);
    EXPECT_STREQ("", PlanRecord(1, 1)->sourceName); // missing line: empty record
    EXPECT_EQ(nullptr, PlanRecord(2, 0));
}

TEST_F(ScriptTest, ProgramItemsStopAtTheFirstGap)
{
    ASSERT_EQ(1, Read("[PM Info]\r\n1=VWHEEL.EXE, Wheel Mouse, 0\r\n2= README.TXT ,Read Me,1\r\n"
                      "4=LOST.TXT,Lost,3\r\n"
                      "[Main]\r\nOEM=1\r\n"));
    EXPECT_EQ(2, g_programItemCount);
    EXPECT_STREQ("VWHEEL.EXE", g_programItems[0]->fileName);
    EXPECT_STREQ("Wheel Mouse", g_programItems[0]->title);
    EXPECT_STREQ("0", g_programItems[0]->iconIndex);
    EXPECT_STREQ("README.TXT", g_programItems[1]->fileName);
    EXPECT_STREQ("", g_programItems[2]->fileName);
    EXPECT_STREQ("", g_programItems[3]->fileName);
    EXPECT_EQ(1, g_options[kOptLogoHidden]); // read after the items
}

TEST_F(ScriptTest, NamesMatchWithoutRegardToCase)
{
    ASSERT_EQ(1, Read("[main]\r\nproductname=Lower\r\noem=7\r\n"
                      "[STARTUP]\r\nFILENAME=VWHEEL.EXE\r\ntitle=Velan Wheel Mouse Setup\r\n"
                      "controlpanel=VWCPL.DLL\r\n"
                      "[disklabel]\r\ndisk1=One\r\n[filecounts]\r\ndisk1=1\r\n"
                      "[directoryname]\r\nwinsystem32dir=DRIVERS\r\n"
                      "[disk1]\r\n1=VWMOUSE.SY_,VWMOUSE.SYS,Driver,winsystem32dir\r\n"));
    EXPECT_STREQ("Lower", g_productName);
    EXPECT_EQ(7, g_options[kOptLogoHidden]);
    EXPECT_STREQ("VWHEEL.EXE", g_utilityFile);
    EXPECT_STREQ("Velan Wheel Mouse Setup", g_titleText);
    EXPECT_STREQ("VWCPL.DLL", g_controlPanelFile);
    EXPECT_EQ(Dir() + "\\DRIVERS\\VWMOUSE.SY_", Source(0, 0));
    EXPECT_EQ("C:\\windows\\SYSTEM32\\DRIVERS\\VWMOUSE.SYS", Target(0, 0));
}

TEST(ProgramDir, IsTheModulePathCutBeforeItsLastBackslash)
{
    EXPECT_EQ(1, SetProgramDir("C:\\MEDIUM\\DISK1\\SETUP.EXE"));
    EXPECT_STREQ("C:\\MEDIUM\\DISK1", g_programDir);
    EXPECT_EQ(1, SetProgramDir("A:\\SETUP.EXE"));
    EXPECT_STREQ("A:", g_programDir);

    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    g_instance = GetModuleHandleA(nullptr);
    ASSERT_EQ(1, ReadSetupScript());
    // The program's own directory (in short form should the build tree lie deep).
    const std::string self = std::string(g_programDir) + strrchr(module, '\\');
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(self.c_str()));
    FreePlan();
}

TEST(ProgramDir, TooLongIsTakenInShortFormOrLeftEmpty)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "Velan Wheel Mouse Distribution Medium " +
                      std::to_string(GetCurrentProcessId());
    std::string deep = dir + "\\Disk One Of Two For Windows NT";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    ASSERT_GE(deep.size(), 80u);

    std::string marker = deep + "\\SETUP.INF";
    CloseHandle(CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(1, SetProgramDir((deep + "\\SETUP.EXE").c_str()));
    EXPECT_LT(strlen(g_programDir), 80u);
    // The short form names the same directory: the script beside the program is found.
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesA((std::string(g_programDir) + "\\SETUP.INF").c_str()));
    DeleteFileA(marker.c_str());

    // No such directory: no short form either, so nothing is read from a cut path.
    EXPECT_EQ(0, SetProgramDir((deep + "\\Nowhere" + Letters(40) + "\\SETUP.EXE").c_str()));
    EXPECT_STREQ("", g_programDir);
    RemoveDirectoryA(deep.c_str());
    RemoveDirectoryA(dir.c_str());
}
