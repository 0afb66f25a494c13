// benchfloor: what the platform alone needs to install a medium. Reads the medium's
// SETUP.INF with the setup's own reader and install plan, then copies every file of the
// plan to its target with nothing but LZOpenFileA, LZCopy and LZClose: no window, no
// status, no safe replacement. Prints the milliseconds the copying took, and those the
// reading of SETUP.INF took (the same reader as setup.exe's start-up).
//
//   benchfloor MEDIUM_DIR DESTINATION
//
// The destination and its sub-directories are created before the clock starts, as the
// Destination page and the Installing page create them before the first file.
#include "base/globals.h"
#include "base/text.h"
#include "script/plan.h"
#include "script/script.h"
#include "engine/commit.h"
#include "engine/copy.h"
#include "tools/common/expand.h"
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: benchfloor MEDIUM_DIR DESTINATION\n");
        return 2;
    }
    g_instance = GetModuleHandleA(nullptr); // the string table names the script's keys
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    char setup[MAX_PATH];
    if (!TextCopy(setup, argv[1]) || !TextAppend(setup, "\\setup.exe") || !SetProgramDir(setup) ||
        !ReadSetupScriptInProgramDir() || !TextCopy(g_destDir, argv[2])) {
        fprintf(stderr, "benchfloor: cannot read %s\\SETUP.INF\n", argv[1]);
        return 1;
    }
    QueryPerformanceCounter(&end);
    const double readMs = 1000.0 * (double)(end.QuadPart - start.QuadPart) / (double)freq.QuadPart;
    CreateDirectoryA(g_destDir, nullptr);
    CreateSubDirectories(g_destDir);

    QueryPerformanceCounter(&start);
    int files = 0, copied = 0;
    ForEachRecord([&](int disk, int i) {
        ++files;
        char source[kPathRoom], target[kPathRoom];
        if (SourcePath(disk, i, source, kPathRoom) && TargetPath(g_destDir, disk, i, target, kPathRoom) &&
            ExpandFile(source, target) >= 0)
            ++copied;
    });
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * (double)(end.QuadPart - start.QuadPart) / (double)freq.QuadPart;
    printf("files %d copied %d read %.3f ms %.3f\n", files, copied, readMs, ms);
    FreePlan();
    return copied == files ? 0 : 1;
}
