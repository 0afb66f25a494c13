// Starting, ending and tracing setup.exe, and the prefix settings that tell Wine what to
// report to it.
//
// Wine writes its relay trace to the Unix stderr of the traced process, which a child
// started here shares with this test program. The test program is therefore started
// with its stderr copied into a log file named by E2E_TRACE_LOG (run-traced.sh); around
// each traced run this program writes a begin and an end marker to the same stderr, and
// the lines between them are the run's trace. The end marker is written after the
// process has ended, so everything setup.exe wrote is in the log before it.
#include "driver.h"
#include <cstdio>

namespace {

const char kWineDebugKey[] = "Software\\Wine\\Debug";
const char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\setup.exe";
int g_traceCounter;

std::string GetEnv(const char* name)
{
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf) : std::string();
}

void WriteStderr(const std::string& line)
{
    DWORD done;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), (DWORD)line.size(), &done, nullptr);
}

std::string TraceLogPath()
{
    std::string unix = GetEnv("E2E_TRACE_LOG");
    return unix.empty() ? unix : DosPath(unix.c_str());
}

int SetRelayInclude(const char* list)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kWineDebugKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return 0;
    LONG r = list ? RegSetValueExA(key, "RelayInclude", 0, REG_SZ, (const BYTE*)list, lstrlenA(list) + 1)
                  : RegDeleteValueA(key, "RelayInclude");
    RegCloseKey(key);
    return r == ERROR_SUCCESS || (!list && r == ERROR_FILE_NOT_FOUND);
}

// Sets an environment variable for the child and gives back what to restore.
struct SavedEnv {
    std::string name, value;
    bool had;
};

SavedEnv SetEnv(const char* name, const std::string& value)
{
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    SavedEnv s{name, n && n < sizeof buf ? buf : "", n != 0};
    SetEnvironmentVariableA(name, value.c_str());
    return s;
}

void Restore(const SavedEnv& s)
{
    SetEnvironmentVariableA(s.name.c_str(), s.had ? s.value.c_str() : nullptr);
}

} // namespace

int TraceAvailable()
{
    return !TraceLogPath().empty();
}

int StartSetup(SetupRun* run, const char* mediumDir, const char* relay, const char* args)
{
    KillSetup(run);
    run->trace.clear();
    run->traceFrom = relay ? relay : "";
    std::string exe = std::string(mediumDir) + "\\setup.exe";
    std::string cmd = "\"" + exe + "\"";
    if (args)
        cmd += std::string(" ") + args;

    std::string debug = GetEnv("WINEDEBUG");
    if (debug.empty())
        debug = "-all,err+seh";
    if (relay) {
        if (!SetRelayInclude(relay))
            return 0;
        debug += ",+relay";
        run->traceId = ++g_traceCounter;
        char marker[64];
        wsprintfA(marker, "e2e-trace-begin %lu.%d\n", GetCurrentProcessId(), run->traceId);
        WriteStderr(marker);
    }
    // wineboot disabled: a restart request then fails harmlessly instead of ending every
    // process of the prefix, this test program included.
    SavedEnv d = SetEnv("WINEDEBUG", debug);
    SavedEnv o = SetEnv("WINEDLLOVERRIDES", "mscoree,mshtml=;wineboot.exe=d");

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    BOOL ok = CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, mediumDir,
                             &si, &run->pi);
    Restore(d);
    Restore(o);
    if (!ok) {
        run->pi = {};
        return 0;
    }
    return 1;
}

int StartCommand(SetupRun* run, const char* commandLine, const char* currentDir)
{
    KillSetup(run);
    run->trace.clear();
    run->traceFrom.clear();
    std::string debug = GetEnv("WINEDEBUG");
    SavedEnv d = SetEnv("WINEDEBUG", debug.empty() ? "-all,err+seh" : debug);
    SavedEnv o = SetEnv("WINEDLLOVERRIDES", "mscoree,mshtml=;wineboot.exe=d");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(commandLine, commandLine + lstrlenA(commandLine) + 1);
    BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, currentDir, &si, &run->pi);
    Restore(d);
    Restore(o);
    if (!ok)
        run->pi = {};
    return ok ? 1 : 0;
}

int SetupRunning(const SetupRun* run)
{
    return run->pi.hProcess && WaitForSingleObject(run->pi.hProcess, 0) == WAIT_TIMEOUT;
}

int WaitSetupEnd(SetupRun* run, DWORD timeoutMs, DWORD* exitCode)
{
    if (!run->pi.hProcess)
        return 0;
    DWORD start = GetTickCount();
    int ended = 0;
    for (;;) {
        DWORD left = GetTickCount() - start >= timeoutMs ? 0 : timeoutMs - (GetTickCount() - start);
        DWORD r = MsgWaitForMultipleObjects(1, &run->pi.hProcess, FALSE, left, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) {
            ended = 1;
            break;
        }
        if (r != WAIT_OBJECT_0 + 1)
            break;
        Pump(0);
    }
    if (ended && exitCode)
        GetExitCodeProcess(run->pi.hProcess, exitCode);
    if (!ended) {
        TerminateProcess(run->pi.hProcess, 99);
        WaitForSingleObject(run->pi.hProcess, 5000);
    }
    return ended;
}

void KillSetup(SetupRun* run)
{
    if (run->pi.hProcess) {
        if (WaitForSingleObject(run->pi.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(run->pi.hProcess, 99);
            WaitForSingleObject(run->pi.hProcess, 5000);
        }
        CloseHandle(run->pi.hProcess);
        CloseHandle(run->pi.hThread);
    }
    run->pi = {};
    if (!run->traceFrom.empty())
        SetRelayInclude(nullptr);
}

const std::string& TakeTrace(SetupRun* run)
{
    run->trace.clear();
    std::string log = TraceLogPath();
    if (run->traceFrom.empty() || log.empty() || SetupRunning(run))
        return run->trace;
    char begin[64], end[64];
    wsprintfA(begin, "e2e-trace-begin %lu.%d\n", GetCurrentProcessId(), run->traceId);
    wsprintfA(end, "e2e-trace-end %lu.%d\n", GetCurrentProcessId(), run->traceId);
    WriteStderr(end);
    std::string text;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitLimit; Sleep(20)) {
        if (ReadFileText(log.c_str(), &text) && text.find(end) != std::string::npos)
            break;
    }
    size_t b = text.find(begin), e = text.find(end);
    if (b != std::string::npos && e != std::string::npos && e > b)
        run->trace = text.substr(b + lstrlenA(begin), e - b - lstrlenA(begin));
    SetRelayInclude(nullptr);
    return run->trace;
}

std::vector<std::string> TraceLines(const std::string& trace, const char* what)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < trace.size()) {
        size_t nl = trace.find('\n', pos);
        if (nl == std::string::npos)
            nl = trace.size();
        std::string line = trace.substr(pos, nl - pos);
        // Wine names a module as the program imported it: KERNEL32 here, user32 there.
        std::string lowerLine = line, lowerWhat = what;
        CharLowerA(&lowerLine[0]);
        CharLowerA(&lowerWhat[0]);
        if (!lowerWhat.empty() && lowerLine.find(lowerWhat) != std::string::npos)
            out.push_back(line);
        pos = nl + 1;
    }
    return out;
}

std::string TraceCalls(const std::string& trace)
{
    std::string out;
    for (const std::string& line : TraceLines(trace, ":")) {
        const bool call = line.find(":Call ") != std::string::npos || line.find(":Ret  ") != std::string::npos;
        const bool noise = line.find(" proc ") != std::string::npos || line.find("PE DLL") != std::string::npos ||
                           line.find("TLS callback") != std::string::npos;
        if (call && !noise)
            out += line + "\n";
    }
    return out;
}

int SetReportedVersion(const char* version)
{
    HKEY key;
    if (!version) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kAppDefaultsKey, 0, KEY_ALL_ACCESS, &key))
            return 1;
        RegDeleteValueA(key, "Version");
        RegCloseKey(key);
        return 1;
    }
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppDefaultsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return 0;
    LONG r = RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version, lstrlenA(version) + 1);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

const char* SuiteVersion()
{
    static std::string v;
    v = GetEnv("E2E_WINVER");
    return v.empty() ? nullptr : v.c_str();
}

void ResetPrefixSettings()
{
    SetReportedVersion(SuiteVersion());
    SetRelayInclude(nullptr);
}
