// Findings and the raw reading of the script, beside what the setup's reader keeps.
#include "tools/checker/check.h"
#include <cstdarg>
#include <cstdio>

char g_scriptPath[MAX_PATH];
static int s_errors;
static int s_warnings;

void Report(Severity severity, const char* format, ...)
{
    static const char* const kLabels[] = {"note", "warning", "ERROR"};
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (severity == kError)
        ++s_errors;
    else if (severity == kWarning)
        ++s_warnings;
    printf("      %s: %s\n", kLabels[severity], text);
}

int ErrorCount() { return s_errors; }
int WarningCount() { return s_warnings; }

int RawValue(const char* section, const char* key, char* out)
{
    // A default the INI service cannot return for a present key tells absence apart from
    // an empty value.
    static const char kAbsent[] = "\x01<absent>\x01";
    GetPrivateProfileStringA(section, key, kAbsent, out, kRawRoom, g_scriptPath);
    if (lstrcmpA(out, kAbsent) == 0) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

void RawKeys(const char* section, char* out, int room)
{
    DWORD len = GetPrivateProfileStringA(section, nullptr, "", out, (DWORD)room, g_scriptPath);
    // The list ends with two terminators; a cut list is closed the same way.
    if (len + 2 > (DWORD)room)
        len = (DWORD)room - 2;
    out[len] = '\0';
    out[len + 1] = '\0';
}

int PlainNumber(const char* text, long* value)
{
    int i = text[0] == '-' ? 1 : 0;
    if (!text[i] || (text[i] == '0' && text[i + 1]) || i + 6 < lstrlenA(text))
        return 0;
    long v = 0;
    for (int k = i; text[k]; ++k) {
        if (text[k] < '0' || text[k] > '9')
            return 0;
        v = v * 10 + (text[k] - '0');
    }
    *value = i ? -v : v;
    return 1;
}
