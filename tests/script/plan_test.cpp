// The install plan built from real scripts: block layout, directory keys, paths and the
// limits of every field.
#include "script_fixture.h"
#include <cstring>

namespace {

const char kTwoDisks[] =
    "[DiskLabel]\r\nDisk1=One\r\nDisk2=Two\r\n"
    "[DirectoryName]\r\nRootDir=.\r\nSubDir2=HELP\r\nWinDir=WINDOWS\r\nWinSystemDir=SYSTEM\r\n"
    "WinInfDir=INF\r\nWinSystem32Dir=DRIVERS\r\n"
    "[FileCounts]\r\nDisk1=3\r\nDisk2=2\r\n"
    "[Disk1]\r\n"
    "1=  VWMOUSE.SY_ , VWMOUSE.SYS , Wheel mouse port driver , WinSystem32Dir \r\n"
    "2=VWHOOK.DL_,VWHOOK.DLL,Wheel support for older programs,WinSystemDir\r\n"
    "3=VWMOUSE.INF,VWMOUSE.INF,Driver information,wininfdir\r\n"
    "[Disk2]\r\n"
    "1=VWHEEL.HL_,VWHEEL.HLP,Online help,SubDir2\r\n"
    "2=VWHEEL.IN_,VWHEEL.INI,Wheel settings,WINDIR\r\n"
    "[PM Info]\r\n1=VWHEEL.EXE,Velan Wheel Mouse,0\r\n";

// Every text field of a record is terminated within its width.
void ExpectTerminated(const FileRecord* r)
{
    EXPECT_NE(nullptr, memchr(r->dirName, 0, sizeof r->dirName));
    EXPECT_NE(nullptr, memchr(r->targetDir, 0, sizeof r->targetDir));
    EXPECT_NE(nullptr, memchr(r->sourceName, 0, sizeof r->sourceName));
    EXPECT_NE(nullptr, memchr(r->targetName, 0, sizeof r->targetName));
    EXPECT_NE(nullptr, memchr(r->description, 0, sizeof r->description));
}

bool IsEmpty(const FileRecord* r)
{
    static const FileRecord empty = {};
    return memcmp(r, &empty, sizeof empty) == 0;
}

} // namespace

TEST_F(ScriptTest, TwoDisksShareOneBlockWithTheProgramItemsBehind)
{
    ASSERT_EQ(1, Read(kTwoDisks));
    ASSERT_EQ(5, g_totalFiles);
    FileRecord* base = (FileRecord*)g_plan;
    EXPECT_GE(GlobalSize(g_planHandle), (SIZE_T)(5 * 176 + 600));
    EXPECT_EQ(base, g_diskStart[0]);
    EXPECT_EQ(base + 3, g_diskStart[1]);
    EXPECT_EQ(base + 5, g_diskStart[2]);
    EXPECT_EQ(base + 2, PlanRecord(0, 2));
    EXPECT_EQ(base + 4, PlanRecord(1, 1));
    EXPECT_EQ(nullptr, PlanRecord(0, 3));
    EXPECT_EQ(nullptr, PlanRecord(1, 2));
    EXPECT_EQ((ProgramItem*)(base + 5), g_programItems[0]);
    EXPECT_EQ(g_plan + 5 * 176 + 600, (BYTE*)(g_programItems[9] + 1));
    EXPECT_STREQ("VWHEEL.EXE", g_programItems[0]->fileName);
    EXPECT_STREQ("Online help", PlanRecord(1, 0)->description);
}

TEST_F(ScriptTest, LineFieldsAreTrimmedAndKeysResolved)
{
    ASSERT_EQ(1, Read(kTwoDisks));
    const FileRecord* r = PlanRecord(0, 0);
    EXPECT_STREQ("VWMOUSE.SY_", r->sourceName);
    EXPECT_STREQ("VWMOUSE.SYS", r->targetName);
    EXPECT_STREQ("Wheel mouse port driver", r->description);
    EXPECT_STREQ("DRIVERS", r->dirName);
    EXPECT_STREQ("C:\\windows\\SYSTEM32\\DRIVERS", r->targetDir);
    EXPECT_EQ(1, r->systemDir);

    EXPECT_EQ(Dir() + "\\DRIVERS\\VWMOUSE.SY_", Source(0, 0));
    EXPECT_EQ("C:\\windows\\SYSTEM32\\DRIVERS\\VWMOUSE.SYS", Target(0, 0));
    EXPECT_EQ(Dir() + "\\SYSTEM\\VWHOOK.DL_", Source(0, 1));
    EXPECT_EQ("C:\\windows\\SYSTEM\\VWHOOK.DLL", Target(0, 1));
    EXPECT_EQ("C:\\windows\\INF\\VWMOUSE.INF", Target(0, 2));
    EXPECT_EQ("C:\\windows\\VWHEEL.INI", Target(1, 1));
    EXPECT_EQ(Dir() + "\\WINDOWS\\VWHEEL.IN_", Source(1, 1));
}

TEST_F(ScriptTest, RelativeTargetsFollowTheDestinationChosenLater)
{
    ASSERT_EQ(1, Read(kTwoDisks));
    TextCopy(g_destDir, "C:\\Program Files\\VELAN");
    EXPECT_EQ("C:\\Program Files\\VELAN\\HELP\\VWHEEL.HLP", Target(1, 0));
    EXPECT_EQ(Dir() + "\\HELP\\VWHEEL.HL_", Source(1, 0));
    const std::string system = Target(0, 0);

    TextCopy(g_destDir, "D:\\MOUSE");
    EXPECT_EQ("D:\\MOUSE\\HELP\\VWHEEL.HLP", Target(1, 0));
    EXPECT_EQ(system, Target(0, 0));
    EXPECT_EQ(Dir() + "\\HELP\\VWHEEL.HL_", Source(1, 0));
}

TEST_F(ScriptTest, UnknownOrMissingKeysRefuseTheRecord)
{
    // A key that names no directory would send the file to the destination's root from
    // the medium's: the record stays empty, like a missing line, and is still visited.
    ASSERT_EQ(1, Read("[DiskLabel]\r\nDisk1=One\r\n[FileCounts]\r\nDisk1=3\r\n"
                      "[DirectoryName]\r\nRootDir=ROOT\r\n"
                      "[Disk1]\r\n1=README.TXT,README.TXT,Read me\r\n"
                      "2=A.TXT,B.TXT,x,SubDir9\r\n"));
    TextCopy(g_destDir, "C:\\VELAN");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(IsEmpty(PlanRecord(0, i))) << i;
    EXPECT_EQ(Dir(), Source(0, 2)); // empty parts add no backslash
}

TEST_F(ScriptTest, PathsThatDoNotFitAreRefusedWhole)
{
    ASSERT_EQ(1, Read(kTwoDisks));
    char out[80];
    memset(out, 'x', sizeof out);
    const std::string dest = "C:\\" + Letters(76); // 79 characters
    TextCopy(g_destDir, dest.c_str());
    EXPECT_EQ(0, TargetPath(g_destDir, 1, 0, out, sizeof out));
    EXPECT_STREQ("", out);
    // The same path fits a room of its full length plus terminator, not one less.
    const std::string whole = dest + "\\HELP\\VWHEEL.HLP";
    char big[200];
    EXPECT_EQ(1, TargetPath(g_destDir, 1, 0, big, (int)whole.size() + 1));
    EXPECT_EQ(whole, big);
    EXPECT_EQ(0, TargetPath(g_destDir, 1, 0, big, (int)whole.size()));
    EXPECT_STREQ("", big);
    const std::string source = Source(0, 0);
    EXPECT_EQ(1, SourcePath(0, 0, big, (int)source.size() + 1));
    EXPECT_EQ(0, SourcePath(0, 0, big, (int)source.size()));
    EXPECT_STREQ("", big);
    // No such record.
    strcpy(big, "old");
    EXPECT_EQ(0, SourcePath(2, 0, big, sizeof big));
    EXPECT_STREQ("", big);
    EXPECT_EQ(0, TargetPath(g_destDir, 0, -1, big, sizeof big));
}

TEST_F(ScriptTest, RecordsWhoseNamesOrDirectoriesDoNotFitAreRefused)
{
    const std::string dir39 = Letters(39);
    ASSERT_EQ(1, Read("[DiskLabel]\r\nDisk1=One\r\n[FileCounts]\r\nDisk1=7\r\n"
                      "[DirectoryName]\r\nSubDir1=" + dir39 + "\r\nSubDir2=" + dir39 + "X\r\n"
                      "WinSystem32Dir=DRIVERS\r\n"
                      "[Disk1]\r\n"
                      "1=ABCDEFGH.IJ_,ABCDEFGHIJ.KLM,fits,SubDir1\r\n"
                      "2=ABCDEFGHIJ.KLM_,A.TXT,source too long,SubDir1\r\n"
                      "3=A.TX_,ABCDEFGHIJ.KLMN,target too long,SubDir1\r\n"
                      "4=A.TX_,A.TXT,directory too long,SubDir2\r\n"
                      "5=A.TX_,A.TXT," + Letters(100) + ",SubDir1\r\n"
                      "6=A.SY_,A.SYS,driver,WinSystem32Dir\r\n"
                      "7=A.SY_,A.SYS,driver,WinSystem32Dir\r\n"));
    EXPECT_STREQ("ABCDEFGHIJ.KLM", PlanRecord(0, 0)->targetName);
    EXPECT_EQ(dir39, PlanRecord(0, 0)->targetDir);
    EXPECT_TRUE(IsEmpty(PlanRecord(0, 1)));
    EXPECT_TRUE(IsEmpty(PlanRecord(0, 2)));
    EXPECT_TRUE(IsEmpty(PlanRecord(0, 3)));
    EXPECT_EQ(Letters(61), PlanRecord(0, 4)->description); // only shown: cut
    EXPECT_STREQ("A.TX_", PlanRecord(0, 4)->sourceName);
    for (int j = 0; j < 7; ++j)
        ExpectTerminated(PlanRecord(0, j));

    // A Windows directory of 22 characters still holds "\SYSTEM32\DRIVERS" in 39; one of
    // 23 does not, and the driver is not sent to a cut directory.
    TextCopy(g_windowsDir, ("C:\\" + Letters(19)).c_str());
    ASSERT_EQ(1, ReadSetupScriptInProgramDir());
    EXPECT_EQ("C:\\" + Letters(19) + "\\SYSTEM32\\DRIVERS", PlanRecord(0, 5)->targetDir);
    TextCopy(g_windowsDir, ("C:\\" + Letters(20)).c_str());
    ASSERT_EQ(1, ReadSetupScriptInProgramDir());
    EXPECT_TRUE(IsEmpty(PlanRecord(0, 5)));
}

TEST_F(ScriptTest, NegativeAndHugeCountsKeepTheBlockSane)
{
    ASSERT_EQ(1, Read("[DiskLabel]\r\nDisk1=1\r\nDisk2=2\r\nDisk3=3\r\n"
                      "[FileCounts]\r\nDisk1=-5\r\nDisk2=2\r\nDisk3=-32768\r\n"
                      "[Disk2]\r\n1=A.TXT,A.TXT,a,RootDir\r\n2=B.TXT,B.TXT,b,RootDir\r\n"));
    EXPECT_EQ(0, g_fileCounts[0]);
    EXPECT_EQ(2, g_fileCounts[1]);
    EXPECT_EQ(0, g_fileCounts[2]);
    EXPECT_EQ(2, g_totalFiles);
    EXPECT_STREQ("B.TXT", PlanRecord(1, 1)->sourceName);
    EXPECT_EQ(g_diskStart[0] + 2, g_diskStart[3]);

    // Counts past 16 bits: the total is capped at 32767, later disks cut to what is left.
    ASSERT_EQ(1, Read("[DiskLabel]\r\nDisk1=1\r\nDisk2=2\r\nDisk3=3\r\n"
                      "[FileCounts]\r\nDisk1=30000\r\nDisk2=99999999999\r\nDisk3=5\r\n"
                      "[Disk2]\r\n2767=LAST.TXT,LAST.TXT,last,RootDir\r\n"));
    EXPECT_EQ(30000, g_fileCounts[0]);
    EXPECT_EQ(2767, g_fileCounts[1]);
    EXPECT_EQ(0, g_fileCounts[2]);
    EXPECT_EQ(32767, g_totalFiles);
    EXPECT_GE(GlobalSize(g_planHandle), (SIZE_T)32767 * 176 + 600);
    EXPECT_STREQ("LAST.TXT", PlanRecord(1, 2766)->sourceName);
    EXPECT_EQ((ProgramItem*)(g_diskStart[0] + 32767), g_programItems[0]);
}

TEST_F(ScriptTest, AThousandFilesAndOverlongValuesStayInTheirFields)
{
    const std::string huge = Letters(300);
    std::string script = "[Main]\r\nProductName=" + huge + "\r\nDefaultPath=C:" + huge +
                         "\r\nGroupName=" + huge + "\r\nPnpID=" + huge +
                         "\r\n[DiskLabel]\r\nDisk1=" + huge + "\r\n[DirectoryName]\r\n";
    const char* keys[] = {"RootDir", "SubDir1", "SubDir2", "SubDir3", "SubDir4",
                          "SubDir5", "WinDir", "WinSystemDir", "WinInfDir", "WinSystem32Dir"};
    for (const char* k : keys)
        script += std::string(k) + "=" + huge + "\r\n";
    script += "[FileCounts]\r\nDisk1=1000\r\n[Disk1]\r\n";
    for (int j = 1; j <= 1000; ++j) {
        script += std::to_string(j) + "=";
        // A description of 100 keeps the key within the 127 characters read of a line.
        script += (j % 2) ? "F" + std::to_string(j) + ".TX_,F" + std::to_string(j) + ".TXT," +
                                Letters(100) + ",SubDir3"
                          : huge + "," + huge + "," + huge + "," + huge + "," + huge;
        script += "\r\n";
    }
    // Three fields too long for the item's 15, 40 and 5 within the line's 127 characters.
    script += "[PM Info]\r\n1=" + Letters(50) + "," + Letters(50) + "," + Letters(20) +
              "\r\n[Startup]\r\nTitle=" + huge + "\r\n";
    // The odd lines go to SubDir3, whose name of 39 characters fits the record.
    script.replace(script.find("SubDir3=" + huge), 8 + huge.size(), "SubDir3=" + Letters(39));
    ASSERT_EQ(1, Read(script));

    EXPECT_EQ(71u, strlen(g_productName));
    EXPECT_EQ(79u, strlen(g_caption));
    EXPECT_EQ(79u, strlen(g_destDir));
    EXPECT_EQ(127u, strlen(g_groupName));
    EXPECT_EQ(9u, strlen(g_pnpId));
    EXPECT_EQ(39u, strlen(g_diskLabels[0]));
    EXPECT_EQ(79u, strlen(g_dirNames[9]));
    EXPECT_EQ(79u, strlen(g_titleText));
    EXPECT_EQ(1000, g_fileCounts[0]);
    EXPECT_EQ(14u, strlen(g_programItems[0]->fileName));
    EXPECT_EQ(39u, strlen(g_programItems[0]->title));
    EXPECT_EQ(4u, strlen(g_programItems[0]->iconIndex));
    EXPECT_STREQ("", g_programItems[1]->fileName);

    for (int j = 0; j < 1000; ++j) {
        const FileRecord* r = PlanRecord(0, j);
        ExpectTerminated(r);
        if (j % 2) {
            EXPECT_TRUE(IsEmpty(r)) << j;
        } else {
            EXPECT_EQ("F" + std::to_string(j + 1) + ".TXT", r->targetName);
            EXPECT_EQ(61u, strlen(r->description));
        }
    }
    // The destination of 79 characters leaves no room for the whole path.
    char out[80];
    EXPECT_EQ(0, TargetPath(g_destDir, 0, 998, out, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, TargetPath(g_destDir, 0, 998, out, 0));
}
