// The version of each program and library on the medium, as the setup compares it with
// the file already on the machine: the fixed file version of its version resource, read
// from the file as it is installed (expanded when it is compressed).
#include "tools/checker/check.h"
#include "base/fileversion.h"
#include "tools/common/expand.h"
#include <cstdio>

void ReportVersion(const char* source, bool compressed)
{
    char scratch[MAX_PATH] = "";
    if (compressed) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        if (!GetTempFileNameA(temp, "ver", 0, scratch) || ExpandFile(source, scratch) < 0) {
            DeleteFileA(scratch);
            return; // the file's own finding says it does not expand
        }
    }
    DWORD ms, ls;
    if (ReadFileVersion(compressed ? scratch : source, &ms, &ls)) {
        char text[24];
        FormatFileVersion(ms, ls, text, sizeof text);
        printf("      version %s\n", text);
    }
    if (compressed)
        DeleteFileA(scratch);
}
