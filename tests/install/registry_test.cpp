// The system registration against Wine's real registry.
#include "install/install.h"
#include "app/globals.h"
#include "app/text.h"
#include <gtest/gtest.h>
#include <string>

namespace {

const char kClassKey[] = "CLSID\\{7D1C2A40-5E3B-11d1-9C4E-00A0C91F3B72}";
const char kServerKey[] = "CLSID\\{7D1C2A40-5E3B-11d1-9C4E-00A0C91F3B72}\\InProcServer32";
const char kHandlersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZaderUvori";

void DeleteTree(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyA(root, path.c_str(), &key) != ERROR_SUCCESS)
        return;
    char name[256];
    while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS)
        DeleteTree(key, name);
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

// The REG_SZ data of a value with its terminator counted, or "<missing>" / "<bad>".
std::string Value(HKEY root, const char* path, const char* name)
{
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return "<missing>";
    char data[512];
    DWORD type = 0, size = sizeof data;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return "<missing>";
    if (type != REG_SZ || size == 0 || data[size - 1] != '\0' || lstrlenA(data) + 1 != (int)size)
        return "<bad>";
    return data;
}

// Number of values and of subkeys of a key; -1 each when it does not exist.
std::pair<int, int> Counts(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return {-1, -1};
    DWORD subkeys = 0, values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return {(int)values, (int)subkeys};
}

void SetValue(HKEY root, const char* path, const char* name, const char* data)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, path, &key));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), lstrlenA(data) + 1);
    RegCloseKey(key);
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        DeleteTree(HKEY_CLASSES_ROOT, kClassKey);
        DeleteTree(HKEY_LOCAL_MACHINE, kHandlersKey);
        DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
        HKEY run;
        if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kRunKey, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, "ZaderUvori");
            RegCloseKey(run);
        }
    }
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
    RegisterSystem();

    EXPECT_EQ("ZelMouseControlPage", Value(HKEY_CLASSES_ROOT, kClassKey, nullptr));
    EXPECT_EQ(std::make_pair(1, 1), Counts(HKEY_CLASSES_ROOT, kClassKey));
    // The in-process server path is a file name, not a command line: never quoted.
    EXPECT_EQ("C:\\Program Files\\Mouse\\MOUSECPL.DLL", Value(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("Apartment", Value(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel"));
    EXPECT_EQ(std::make_pair(2, 0), Counts(HKEY_CLASSES_ROOT, kServerKey));

    EXPECT_EQ("ZelMousePage", Value(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr));
    EXPECT_EQ(std::make_pair(1, 1), Counts(HKEY_LOCAL_MACHINE, kHandlersKey));
    std::string handler = std::string(kHandlersKey) + "\\ZelMousePage";
    EXPECT_EQ("{7D1C2A40-5E3B-11d1-9C4E-00A0C91F3B72}", Value(HKEY_LOCAL_MACHINE, handler.c_str(), nullptr));
    EXPECT_EQ(std::make_pair(1, 0), Counts(HKEY_LOCAL_MACHINE, handler.c_str()));

    EXPECT_EQ("\"C:\\Program Files\\Mouse\\MOUSEUTL.EXE\"", Value(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("Velan", Value(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("\"C:\\Program Files\\Mouse\\UNINSTAL.EXE\"",
              Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ(std::make_pair(2, 0), Counts(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Registration, PathsWithoutBlankAsGivenAndSecondRunReplaces)
{
    Inputs("C:\\MOUSE", "OLDCPL.DLL", "OLDUTL.EXE", "Old");
    RegisterSystem();
    Inputs("D:\\VELAN", "MOUSECPL.DLL", "MOUSEUTL.EXE", "Velan Wheel Mouse");
    RegisterSystem();

    EXPECT_EQ("D:\\VELAN\\MOUSECPL.DLL", Value(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ(std::make_pair(2, 0), Counts(HKEY_CLASSES_ROOT, kServerKey));
    EXPECT_EQ(std::make_pair(1, 1), Counts(HKEY_LOCAL_MACHINE, kHandlersKey));
    EXPECT_EQ("D:\\VELAN\\MOUSEUTL.EXE", Value(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("Velan Wheel Mouse", Value(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("D:\\VELAN\\UNINSTAL.EXE", Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ(std::make_pair(2, 0), Counts(HKEY_LOCAL_MACHINE, kUninstallKey));
}

TEST_F(Registration, HandlersKeyWithoutSubkeysIsReplaced)
{
    SetValue(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr, "SomeoneElse");
    SetValue(HKEY_LOCAL_MACHINE, kHandlersKey, "Extra", "stale");
    Inputs("C:\\VELAN", "MOUSECPL.DLL", "MOUSEUTL.EXE", "Velan");
    RegisterSystem();
    EXPECT_EQ("ZelMousePage", Value(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr));
    EXPECT_EQ("<missing>", Value(HKEY_LOCAL_MACHINE, kHandlersKey, "Extra"));
    EXPECT_EQ(std::make_pair(1, 1), Counts(HKEY_LOCAL_MACHINE, kHandlersKey));
}

TEST_F(Registration, HandlersKeyWithOtherHandlersKeepsThem)
{
    std::string other = std::string(kHandlersKey) + "\\OtherPage";
    SetValue(HKEY_LOCAL_MACHINE, other.c_str(), nullptr, "{00000000-0000-0000-0000-000000000001}");
    SetValue(HKEY_LOCAL_MACHINE, kHandlersKey, "Extra", "kept");
    Inputs("C:\\VELAN", "MOUSECPL.DLL", "MOUSEUTL.EXE", "Velan");
    RegisterSystem();
    EXPECT_EQ("ZelMousePage", Value(HKEY_LOCAL_MACHINE, kHandlersKey, nullptr));
    EXPECT_EQ("kept", Value(HKEY_LOCAL_MACHINE, kHandlersKey, "Extra"));
    EXPECT_EQ("{00000000-0000-0000-0000-000000000001}", Value(HKEY_LOCAL_MACHINE, other.c_str(), nullptr));
    EXPECT_EQ(std::make_pair(2, 2), Counts(HKEY_LOCAL_MACHINE, kHandlersKey));
}

TEST_F(Registration, DataThatWouldBeCutIsNotWritten)
{
    // 70 + "\UNINSTAL.EXE" (13) exceeds 79; 70 + "\" + 8 = 79 fits exactly; quoting the
    // utility's path would need two more characters than there is room for.
    std::string dest = "C:\\" + std::string(67, 'D');
    Inputs(dest.c_str(), "CPL4.DLL", "A B.EXE", "Velan");
    RegisterSystem();
    EXPECT_EQ(dest + "\\CPL4.DLL", Value(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("Apartment", Value(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel"));
    EXPECT_EQ("<missing>", Value(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("Velan", Value(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("<missing>", Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));

    Inputs(dest.c_str(), "CPL45.DLL", "UTIL.EXE", "Velan");
    RegisterSystem();
    EXPECT_EQ(dest + "\\CPL4.DLL", Value(HKEY_CLASSES_ROOT, kServerKey, nullptr)); // 80: refused
    EXPECT_EQ(dest + "\\UTIL.EXE", Value(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
}

TEST_F(Registration, EmptyFileNamesGiveTheDirectoryWithBackslash)
{
    Inputs("C:\\VELAN", "", "", "");
    RegisterSystem();
    EXPECT_EQ("C:\\VELAN\\", Value(HKEY_CLASSES_ROOT, kServerKey, nullptr));
    EXPECT_EQ("C:\\VELAN\\", Value(HKEY_LOCAL_MACHINE, kRunKey, "ZaderUvori"));
    EXPECT_EQ("", Value(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
}
