// The run's log file: created anew, written line by line as events happen (nothing is
// kept back, so a run that is killed still leaves what it did until then).
#include "base/log.h"
#include "res/ids.h"
#include <windows.h>
#include <stdarg.h>

namespace {

// Process-wide: one log per run of a program, written from every layer.
HANDLE s_log = INVALID_HANDLE_VALUE;

void Write(const char* text, int length)
{
    DWORD written;
    if (s_log != INVALID_HANDLE_VALUE && !WriteFile(s_log, text, (DWORD)length, &written, nullptr)) {
        // A log that can no longer be written is given up; the run goes on.
        CloseHandle(s_log);
        s_log = INVALID_HANDLE_VALUE;
    }
}

} // namespace

int LogOpen(const char* path)
{
    LogClose();
    if (!path || !path[0])
        return 0;
    s_log = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return s_log != INVALID_HANDLE_VALUE;
}

void LogStart(const char* program, const char* args)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    LogLine("start %04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
            now.wSecond);
    LogLine("program %s %s", program, SETUP_VERSION);
    LogLine("command line %s", args ? args : "");
    // Where it ran and for whom: what an administrator needs to tell one machine's log
    // from another's.
    OSVERSIONINFOA os = {};
    os.dwOSVersionInfoSize = sizeof os;
    if (GetVersionExA(&os))
        LogLine("system Windows %lu.%lu build %lu %s", os.dwMajorVersion, os.dwMinorVersion, os.dwBuildNumber & 0xFFFF,
                os.szCSDVersion);
    char computer[256] = ""; // a host name can be longer than a NetBIOS name
    DWORD computerSize = sizeof computer;
    char user[257] = ""; // the longest user name and its terminator
    DWORD userSize = sizeof user;
    LogLine("computer %s, user %s", GetComputerNameA(computer, &computerSize) ? computer : "(unknown)",
            GetUserNameA(user, &userSize) ? user : "(unknown)");
}

int LogIsOpen()
{
    return s_log != INVALID_HANDLE_VALUE;
}

void LogLine(const char* format, ...)
{
    if (s_log == INVALID_HANDLE_VALUE)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[1100];
    int length = wsprintfA(line, "%02d:%02d:%02d.%03d ", now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    char text[1025];
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);
    va_end(args);
    // Line breaks inside an event would split it: they become blanks.
    for (char* p = text; *p; ++p)
        if (*p == '\r' || *p == '\n')
            *p = ' ';
    const int n = lstrlenA(text);
    CopyMemory(line + length, text, n);
    length += n;
    line[length++] = '\r';
    line[length++] = '\n';
    Write(line, length);
}

void LogClose()
{
    if (s_log != INVALID_HANDLE_VALUE)
        CloseHandle(s_log);
    s_log = INVALID_HANDLE_VALUE;
}
