// A scratch program directory with a SETUP.INF of the test's own, read by the real
// reader through the platform's INI service.
#pragma once
#include "base/globals.h"
#include "base/text.h"
#include "script/plan.h"
#include "script/script.h"
#include "script/fields.h"
#include "base/loadtext.h"
#include <gtest/gtest.h>
#include <string>

class ScriptTest : public ::testing::Test {
protected:
    char dir_[MAX_PATH] = "";
    char inf_[MAX_PATH] = "";

    void SetUp() override
    {
        static int serial;
        g_instance = GetModuleHandleA(nullptr);
        TextCopy(g_windowsDir, "C:\\windows");
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        // A directory per test, without a script until the test writes one (a program that
        // crashed may have left its directory, met again under a reused process id).
        wsprintfA(dir_, "%sscr%lu_%d", temp, GetCurrentProcessId(), ++serial);
        ASSERT_TRUE(CreateDirectoryA(dir_, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(TextCopy(g_programDir, dir_));
        wsprintfA(inf_, "%s\\SETUP.INF", dir_);
        DeleteFileA(inf_);
    }

    void TearDown() override
    {
        FreePlan();
        DeleteFileA(inf_);
        RemoveDirectoryA(dir_);
    }

    void Write(const std::string& text)
    {
        HANDLE f = CreateFileA(inf_, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        DWORD written = 0;
        WriteFile(f, text.data(), (DWORD)text.size(), &written, nullptr);
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
        SetFileTime(f, nullptr, nullptr, &time);
        CloseHandle(f);
        ASSERT_EQ(text.size(), written);
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
        TargetPath(disk, rec, out, room);
        return out;
    }

    std::string Dir() const { return dir_; }
};

// The same text `n` characters long: "ABCDEFGHIJ" repeated.
inline std::string Letters(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (char)('A' + i % 10);
    return s;
}
