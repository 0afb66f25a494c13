// A scratch program directory with a SETUP.INF of the test's own, read by the real
// reader through the platform's INI service.
#pragma once
#include "base/globals.h"
#include "base/text.h"
#include "script/plan.h"
#include "script/script.h"
#include "script/fields.h"
#include "base/loadtext.h"
#include "support/files.h"
#include <gtest/gtest.h>
#include <string>

class ScriptTest : public ::testing::Test {
protected:
    ScratchDir dir_{"scr"}; // a directory per test, without a script until the test writes one
    char inf_[MAX_PATH] = "";

    void SetUp() override
    {
        g_instance = GetModuleHandleA(nullptr);
        TextCopy(g_windowsDir, "C:\\windows");
        ASSERT_FALSE(dir_.path.empty());
        ASSERT_TRUE(TextCopy(g_programDir, dir_.path.c_str()));
        wsprintfA(inf_, "%s\\SETUP.INF", dir_.path.c_str());
    }

    void TearDown() override { FreePlan(); }

    void Write(const std::string& text)
    {
        ASSERT_TRUE(WriteFileText(inf_, text));
        // The INI service reloads a file whose write time changed; two writes within one
        // tick of the file system's clock would look the same, so each gets its own.
        static ULONGLONG stamp;
        if (!stamp) {
            FILETIME now;
            GetSystemTimeAsFileTime(&now);
            stamp = ((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime;
        }
        stamp += 10000000; // one second
        FILETIME time = {(DWORD)stamp, (DWORD)(stamp >> 32)};
        HANDLE f = CreateFileA(inf_, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        SetFileTime(f, nullptr, nullptr, &time);
        CloseHandle(f);
    }

    // Writes the script and reads it; the result of the reader.
    int Read(const std::string& text)
    {
        Write(text);
        return ReadSetupScriptInProgramDir();
    }

    std::string Source(int disk, int rec, int room = 200)
    {
        char out[200];
        SourcePath(disk, rec, out, room);
        return out;
    }

    std::string Target(int disk, int rec, int room = 200)
    {
        char out[200];
        TargetPath(g_destDir, disk, rec, out, room);
        return out;
    }

    std::string Dir() const { return dir_.path; }
};

// The same text `n` characters long: "ABCDEFGHIJ" repeated.
inline std::string Letters(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (char)('A' + i % 10);
    return s;
}
