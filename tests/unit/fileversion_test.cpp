// The fixed file version read through the loader: this test program carries the setup's
// version resource, copies of it are rewritten with another version or none.
#include "base/fileversion.h"
#include "res/ids.h"
#include "support/files.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string Version(const std::string& path)
{
    DWORD ms = 0, ls = 0;
    if (!ReadFileVersion(path.c_str(), &ms, &ls))
        return "none";
    char text[24];
    FormatFileVersion(ms, ls, text, sizeof text);
    return text;
}

std::string OwnPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// A copy of this program at `path` whose version resource holds `ms`.`ls`, or which has no
// resources at all when `ms` is 0.
bool CopyWithVersion(const std::string& path, DWORD ms, DWORD ls)
{
    if (!CopyFileA(OwnPath().c_str(), path.c_str(), FALSE))
        return false;
    HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), (LPCSTR)RT_VERSION);
    if (!r)
        return false;
    const BYTE* data = (const BYTE*)LockResource(LoadResource(nullptr, r));
    std::vector<BYTE> block(data, data + SizeofResource(nullptr, r));
    for (size_t at = 0; at + 16 <= block.size(); at += 4)
        if (*(DWORD*)&block[at] == 0xFEEF04BD) {
            *(DWORD*)&block[at + 8] = ms;
            *(DWORD*)&block[at + 12] = ls;
            break;
        }
    HANDLE update = BeginUpdateResourceA(path.c_str(), ms == 0);
    if (!update)
        return false;
    if (ms && !UpdateResourceA(update, (LPCSTR)RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), block.data(),
                               (DWORD)block.size()))
        return false;
    return EndUpdateResourceA(update, FALSE) != 0;
}

} // namespace

TEST(FileVersion, ReadFromTheVersionResource)
{
    ScratchDir dir;
    // This program: the setup's own version, which its log gives too.
    EXPECT_EQ(SETUP_VERSION_TEXT, Version(OwnPath()));
    EXPECT_EQ(0u, std::string(SETUP_VERSION_TEXT).find(SETUP_VERSION "."));
    // A copy under this program's own name, loaded in this process: the copy is read.
    const std::string own = OwnPath().substr(OwnPath().rfind('\\') + 1);
    ASSERT_TRUE(CopyWithVersion(dir / own, 0x00090008, 0x00070006));
    EXPECT_EQ("9.8.7.6", Version(dir / own));
    // Its texts: read whole, refused when they do not fit, none in a file without them.
    char text[16] = "x";
    EXPECT_TRUE(ReadVersionText((dir / own).c_str(), "CompanyName", text, sizeof text));
    EXPECT_STREQ(SETUP_COMPANY, text);
    EXPECT_TRUE(ReadVersionText((dir / own).c_str(), "ProductVersion", text, sizeof text));
    EXPECT_STREQ(SETUP_VERSION_TEXT, text);
    EXPECT_FALSE(ReadVersionText((dir / own).c_str(), "ProductVersion", text, (int)sizeof SETUP_VERSION_TEXT - 1));
    EXPECT_STREQ("", text);
    EXPECT_FALSE(ReadVersionText((dir / own).c_str(), "Company", text, sizeof text));
    ASSERT_TRUE(CopyWithVersion(dir / "NOVER.EXE", 0, 0));
    EXPECT_FALSE(ReadVersionText((dir / "NOVER.EXE").c_str(), "CompanyName", text, sizeof text));
    EXPECT_EQ("none", Version(dir / "NOVER.EXE"));
    EXPECT_EQ("none", Version(dir / "MISSING.DLL"));
    ASSERT_TRUE(WriteFileText(dir / "TEXT.DLL", std::string(4096, 'x')));
    EXPECT_EQ("none", Version(dir / "TEXT.DLL"));
    // Held open by a program that shares it with nobody: it cannot be read.
    HANDLE held = CreateFileA((dir / own).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ("none", Version(dir / own));
    CloseHandle(held);
    EXPECT_EQ("9.8.7.6", Version(dir / own));
}

TEST(FileVersion, FormattedAsFourNumbersCutAtTheRoom)
{
    char text[24];
    FormatFileVersion(0xFFFF0002, 0x00030000, text, sizeof text);
    EXPECT_STREQ("65535.2.3.0", text);
    char small[6];
    FormatFileVersion(0x00010002, 0x00030004, small, sizeof small);
    EXPECT_STREQ("1.2.3", small);
}
