// The resident mouse utility holds the package's files open while it runs: the setup
// asks it to close before copying, the uninstaller before removing.
#include "engine/utility.h"
#include "engine/registration.h"
#include "base/globals.h"
#include "base/log.h"

int CloseUtility(UINT timeoutMs)
{
    HWND utility = FindWindowA(nullptr, kUtilityTitle);
    if (!utility) {
        LogLine("resident utility: not running");
        return 0;
    }
    // Its process, so that its end can be waited for: a window that is gone does not yet
    // mean files that are free.
    DWORD id = 0;
    GetWindowThreadProcessId(utility, &id);
    HANDLE process = id && id != GetCurrentProcessId() ? OpenProcess(SYNCHRONIZE, FALSE, id) : nullptr;
    // Its answer does not matter; a utility that hangs must not hold the setup.
    const DWORD start = GetTickCount();
    DWORD_PTR answer;
    SendMessageTimeoutA(utility, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &answer);
    const bool closed = !IsWindow(utility);
    if (closed && process) {
        const DWORD spent = GetTickCount() - start;
        WaitForSingleObject(process, spent < timeoutMs ? timeoutMs - spent : 0);
    }
    if (process)
        CloseHandle(process);
    LogLine("resident utility: asked to close, %s", closed ? "closed" : "still running after the wait");
    return 1;
}

int StartUtility()
{
    if (FindWindowA(nullptr, kUtilityTitle)) {
        LogLine("resident utility: still running");
        return 0;
    }
    const RegValue* value = nullptr;
    const RegStep* step = FindRegValue(RegData::UtilityCommand, &value);
    HKEY key;
    char command[kPathRoom + 1];
    DWORD size = kPathRoom, type = 0;
    if (!step || RegOpenKeyExA(RegRootKey(step->root), step->key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    const LONG r = RegQueryValueExA(key, value->name, nullptr, &type, reinterpret_cast<BYTE*>(command), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_SZ || size == 0) {
        LogLine("resident utility: not started, no Run value");
        return 0;
    }
    command[size] = '\0';
    // Started in the Windows directory, not in the setup's own (the medium), which it
    // would otherwise hold as its current directory.
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, g_windowsDir[0] ? g_windowsDir : nullptr,
                        &si, &pi)) {
        LogLine("resident utility: %s could not be started (error %lu)", command, GetLastError());
        return 0;
    }
    // Until its window is up, a setup started right after this one would not find it to
    // ask it to close: the start is waited for, as long as a close request at most.
    WaitForInputIdle(pi.hProcess, kUtilityWait);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    LogLine("resident utility: started again, %s", command);
    return 1;
}
