// The destination checks, against the real file system and disk figures of the prefix.
#include "pages/pages.h"
#include "res/ids.h"
#include "support/files.h"
#include <gtest/gtest.h>
#include <string>

TEST(DestinationForm, NeedsColonAndBackslashAfterAnyFirstCharacter)
{
    EXPECT_TRUE(HasDriveForm("C:\\VELAN"));
    EXPECT_TRUE(HasDriveForm("D:\\"));
    EXPECT_TRUE(HasDriveForm("1:\\X")); // the first character is not examined here
    EXPECT_FALSE(HasDriveForm(""));
    EXPECT_FALSE(HasDriveForm("C"));
    EXPECT_FALSE(HasDriveForm("C:"));
    EXPECT_FALSE(HasDriveForm("C:VELAN"));
    EXPECT_FALSE(HasDriveForm("VELAN"));
    EXPECT_FALSE(HasDriveForm("\\\\server\\share"));
}

TEST(DestinationForm, RootUpperCasesOnlyTheLettersAToZ)
{
    char root[4];
    DriveRoot("c:\\Tools", root);
    EXPECT_STREQ("C:\\", root);
    DriveRoot("\xe4:\\x", root);
    EXPECT_STREQ("\xe4:\\", root);
}

TEST(DestinationSpace, FreeKilobytesDoNotOverflowPastFourGibibytes)
{
    EXPECT_EQ(0u, FreeKilobytes(8, 512, 0));
    EXPECT_EQ(1023u, FreeKilobytes(1, 512, 2047)); // truncated, not rounded
    EXPECT_EQ(1024u, FreeKilobytes(1, 512, 2048));
    // 64 sectors of 4096 bytes, 0xFFFFFFFF clusters: about 1 PiB.
    EXPECT_EQ((0xFFFFFFFFull * 4096 * 64) >> 10, FreeKilobytes(64, 4096, 0xFFFFFFFF));
    // 8 GiB, whose byte count is a multiple of 2^32: would read as 0 in 32 bits.
    EXPECT_EQ(8ull << 20, FreeKilobytes(8, 512, 2097152));
}

TEST(DestinationSpace, MinimumIsInclusiveAndANegativeOneAsksForNothing)
{
    EXPECT_FALSE(EnoughSpace(1023, 1024));
    EXPECT_TRUE(EnoughSpace(1024, 1024));
    EXPECT_TRUE(EnoughSpace(0, 0));
    EXPECT_TRUE(EnoughSpace(0, -1));
    EXPECT_TRUE(EnoughSpace(0, -32768));
    EXPECT_TRUE(EnoughSpace(8ull << 20, 32767));
}

class DestinationCheck : public ::testing::Test {
protected:
    ScratchDir dir;
    const std::string base = dir.path;
    void SetUp() override { ASSERT_TRUE(DirExists(base)); }
};

TEST_F(DestinationCheck, ExistingDirectoryAndDriveRootPassWithoutCreation)
{
    EXPECT_EQ(0, CheckDestination(base.c_str(), 1024));
    EXPECT_EQ(0, CheckDestination("C:\\", 1024));
    EXPECT_TRUE(IsDirectory("C:\\"));
}

TEST_F(DestinationCheck, MissingLastComponentIsCreatedAndKeepsItsCase)
{
    std::string dest = base + "\\new";
    dest[0] = (char)tolower((unsigned char)dest[0]); // lower-case drive letter
    EXPECT_FALSE(IsDirectory(dest.c_str()));
    EXPECT_EQ(0, CheckDestination(dest.c_str(), 1024));
    EXPECT_TRUE(IsDirectory(dest.c_str()));
}

TEST_F(DestinationCheck, MissingParentBadFormAndUnknownDriveAreRefused)
{
    EXPECT_EQ(IDS_CANNOT_CREATE, CheckDestination((base + "\\a\\b").c_str(), 0));
    EXPECT_FALSE(IsDirectory((base + "\\a").c_str()));
    EXPECT_EQ(IDS_CANNOT_CREATE, CheckDestination("", 0));
    EXPECT_EQ(IDS_CANNOT_CREATE, CheckDestination("VELAN", 0));
    EXPECT_EQ(IDS_CANNOT_CREATE, CheckDestination("\\\\server\\share\\x", 0));
    EXPECT_EQ(IDS_CANNOT_CREATE, CheckDestination("1:\\VELAN", 0));

    // A drive letter that names no drive gives no disk figures.
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'D'; --letter) {
        if (drives & (1u << (letter - 'A')))
            continue;
        const std::string dest = std::string(1, letter) + ":\\VELAN";
        EXPECT_EQ(IDS_CANNOT_CREATE, CheckDestination(dest.c_str(), 0)) << dest;
        break;
    }
}

TEST_F(DestinationCheck, FileInTheWayIsNoDirectory)
{
    const std::string file = base + "\\new";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    EXPECT_FALSE(IsDirectory(file.c_str()));
    EXPECT_EQ(IDS_CANNOT_CREATE, CheckDestination(file.c_str(), 0));
    DeleteFileA(file.c_str());
}
