// The system registration against Wine's real registry.
#include "engine/register.h"
#include "base/globals.h"
#include "base/text.h"
#include "support/registry.h"
#include <gtest/gtest.h>

namespace {

// Writes the registration for the destination in force, as an installation would.
void Register()
{
    static Installation run; // large for a test's stack
    run = Installation{};
    TextCopy(run.dest, g_destDir);
    RegisterSystem(&run);
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { RemoveRegistration(); }
    void TearDown() override { RemoveRegistration(); }
    static void Inputs(const char* dest, const char* cpl, const char* utility, const char* product)
    {
        TextCopy(g_destDir, dest);
        TextCopy(g_controlPanelFile, cpl);
        TextCopy(g_utilityFile, utility);
        TextCopy(g_productName, product);
    }
};

} // namespace

TEST_F(Registration, WritesExactlyTheEntriesWithQuotedCommandLines)
{
    Inputs("C:\\Program Files\\Mouse", "MOUSECPL.DLL", "MOUSEUTL.EXE", "Velan");
    Register();

    EXPECT_EQ("ZelMouseControlPage", RegText(HKEY_CLASSES_ROOT, kClassKey, nullptr));
    EXPECT_EQ(std::make_pair(1, 1), RegCounts(HKEY_CLASSES_ROOT, kClassKey));
    // The in-process server path is a file name, not a command line: never quoted.
    EXPECT_EQ("C:\\Program Files\\Mouse\\MOUSECPL.DLL", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("Apartment", RegText(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel"));
    EXPECT_EQ(std::make_pair(2, 0), RegCounts(HKEY_CLASSES_ROOT, kServerKey));

    EXPECT_EQ("ZelMousePage", RegText(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr));
    EXPECT_EQ(std::make_pair(1, 1), RegCounts(HKEY_LOCAL_MACHINE, kHandlersKey));
    std::string handler = std::string(kHandlersKey) + "\\ZelMousePage";
    EXPECT_EQ(kClassId, RegText(HKEY_LOCAL_MACHINE, handler.c_str(), nullptr));
    EXPECT_EQ(std::make_pair(1, 0), RegCounts(HKEY_LOCAL_MACHINE, handler.c_str()));

    EXPECT_EQ("\"C:\\Program Files\\Mouse\\MOUSEUTL.EXE\"", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("Velan", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("\"C:\\Program Files\\Mouse\\UNINSTAL.EXE\"",
              RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ("\"C:\\Program Files\\Mouse\\UNINSTAL.EXE\" /S",
              RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString"));
    // Paths, not command lines: never quoted.
    EXPECT_EQ("C:\\Program Files\\Mouse", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"));
    EXPECT_EQ("C:\\Program Files\\Mouse\\MOUSEUTL.EXE", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"));
    // No utility file, so no version texts; the size and the two flags are numbers.
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"));
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher"));
    EXPECT_EQ("<bad>", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify"));
    EXPECT_EQ(std::make_pair(8, 0), RegCounts(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Registration, PathsWithoutBlankAsGivenAndSecondRunReplaces)
{
    Inputs("C:\\MOUSE", "OLDCPL.DLL", "OLDUTL.EXE", "Old");
    Register();
    Inputs("D:\\VELAN", "MOUSECPL.DLL", "MOUSEUTL.EXE", "Velan Wheel Mouse");
    Register();

    EXPECT_EQ("D:\\VELAN\\MOUSECPL.DLL", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ(std::make_pair(2, 0), RegCounts(HKEY_CLASSES_ROOT, kServerKey));
    EXPECT_EQ(std::make_pair(1, 1), RegCounts(HKEY_LOCAL_MACHINE, kHandlersKey));
    EXPECT_EQ("D:\\VELAN\\MOUSEUTL.EXE", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("Velan Wheel Mouse", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("D:\\VELAN\\UNINSTAL.EXE", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ(std::make_pair(8, 0), RegCounts(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Registration, HandlersKeyWithoutSubkeysIsReplaced)
{
    RegSetText(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr, "SomeoneElse");
    RegSetText(HKEY_LOCAL_MACHINE, kHandlersKey, "Extra", "stale");
    Inputs("C:\\VELAN", "MOUSECPL.DLL", "MOUSEUTL.EXE", "Velan");
    Register();
    EXPECT_EQ("ZelMousePage", RegText(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr));
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, kHandlersKey, "Extra"));
    EXPECT_EQ(std::make_pair(1, 1), RegCounts(HKEY_LOCAL_MACHINE, kHandlersKey));
}

TEST_F(Registration, HandlersKeyWithOtherHandlersKeepsThem)
{
    std::string other = std::string(kHandlersKey) + "\\OtherPage";
    RegSetText(HKEY_LOCAL_MACHINE, other.c_str(), nullptr, "{00000000-0000-0000-0000-000000000001}");
    RegSetText(HKEY_LOCAL_MACHINE, kHandlersKey, "Extra", "kept");
    Inputs("C:\\VELAN", "MOUSECPL.DLL", "MOUSEUTL.EXE", "Velan");
    Register();
    EXPECT_EQ("ZelMousePage", RegText(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr));
    EXPECT_EQ("kept", RegText(HKEY_LOCAL_MACHINE, kHandlersKey, "Extra"));
    EXPECT_EQ("{00000000-0000-0000-0000-000000000001}", RegText(HKEY_LOCAL_MACHINE, other.c_str(), nullptr));
    EXPECT_EQ(std::make_pair(2, 2), RegCounts(HKEY_LOCAL_MACHINE, kHandlersKey));
}

TEST_F(Registration, DataThatWouldBeCutIsNotWritten)
{
    // 70 + "\UNINSTAL.EXE" (13) exceeds 79; 70 + "\" + 8 = 79 fits exactly; quoting the
    // utility's path would need two more characters than there is room for.
    std::string dest = "C:\\" + std::string(67, 'D');
    Inputs(dest.c_str(), "CPL4.DLL", "A B.EXE", "Velan");
    Register();
    EXPECT_EQ(dest + "\\CPL4.DLL", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("Apartment", RegText(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel"));
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("Velan", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));

    Inputs(dest.c_str(), "CPL45.DLL", "UTIL.EXE", "Velan");
    Register();
    EXPECT_EQ(dest + "\\CPL4.DLL", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr)); // 80: refused
    EXPECT_EQ(dest + "\\UTIL.EXE", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
}

// No program named: no value that would point at the destination itself, no handler for
// a class without its server; the Uninstall entry all the same.
TEST_F(Registration, EmptyFileNamesWriteNoProgramValues)
{
    Inputs("C:\\VELAN", "", "", "");
    Register();
    EXPECT_EQ("<none>", RegText(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("<none>", RegText(HKEY_CLASSES_ROOT, kClassKey, nullptr));
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("<none>", RegText(HKEY_LOCAL_MACHINE, std::string(kHandlersKey) + "\\ZelMousePage", nullptr));
    EXPECT_EQ("", RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
}
