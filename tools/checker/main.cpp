// mediumcheck: prints the install plan of a medium as the setup will see it and flags
// what the setup would cut, skip or resolve to nothing.
//
//   mediumcheck [--dest DIR] [--strict] MEDIUM
//
// MEDIUM is the medium's directory (the setup's program directory) or its SETUP.INF; a
// Unix path is taken too when run under Wine. --dest checks the target paths for that
// destination instead of the script's default. Exit status: 0 when the medium installs
// completely (with --strict: and nothing is cut either), 1 when it does not, 2 on wrong
// usage.
#include "tools/checker/check.h"
#include "base/globals.h"
#include "base/text.h"
#include "script/plan.h"
#include "script/script.h"
#include <cstdio>

namespace {

int Usage()
{
    fprintf(stderr, "usage: mediumcheck [--dest DIR] [--strict] MEDIUM\n");
    return 2;
}

// Under Wine a Unix path names a file of the host; Wine's kernel32 converts it.
void ToWindowsPath(const char* arg, char* out, int room)
{
    TextCopy(out, room, arg);
    typedef WCHAR*(CDECL * ToDos)(const char*);
    ToDos toDos = arg[0] == '/' ? (ToDos)(void*)GetProcAddress(
                                      GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")
                                : nullptr;
    WCHAR* wide = toDos ? toDos(arg) : nullptr;
    if (wide) {
        WideCharToMultiByte(CP_ACP, 0, wide, -1, out, room, nullptr, nullptr);
        HeapFree(GetProcessHeap(), 0, wide);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const char* dest = nullptr;
    const char* medium = nullptr;
    bool strict = false;
    for (int i = 1; i < argc; ++i) {
        if (lstrcmpA(argv[i], "--dest") == 0 && i + 1 < argc)
            dest = argv[++i];
        else if (lstrcmpA(argv[i], "--strict") == 0)
            strict = true;
        else if (argv[i][0] == '-' || medium)
            return Usage();
        else
            medium = argv[i];
    }
    if (!medium)
        return Usage();

    g_instance = GetModuleHandleA(nullptr);
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);
    char given[MAX_PATH], full[MAX_PATH];
    ToWindowsPath(medium, given, MAX_PATH);
    DWORD len = GetFullPathNameA(given, MAX_PATH, full, nullptr);
    if (len == 0 || len >= MAX_PATH) {
        fprintf(stderr, "mediumcheck: cannot resolve %s\n", medium);
        return 2;
    }
    // A directory is the program directory; a file names the script in it.
    DWORD attributes = GetFileAttributesA(full);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        TextAppend(full, MAX_PATH, "\\SETUP.INF");
    if (!SetProgramDir(full)) {
        printf("Medium       %s\n", full);
        Report(kError, "the medium's directory is longer than %d characters even in its short "
               "form: the setup finds no script there", kPathRoom - 1);
        return 1;
    }
    printf("Medium       %s\n", g_programDir);
    snprintf(g_scriptPath, MAX_PATH, "%s\\SETUP.INF", g_programDir);
    if (GetFileAttributesA(g_scriptPath) == INVALID_FILE_ATTRIBUTES) {
        Report(kError, "there is no %s: the setup runs on its defaults and installs nothing",
               g_scriptPath);
        return 1;
    }
    if (!ReadSetupScriptInProgramDir()) {
        Report(kError, "the install plan's memory cannot be had");
        return 1;
    }
    printf("Windows      %s\n", g_windowsDir);
    CheckSettings();
    if (dest && !TextCopy(g_destDir, dest)) {
        fprintf(stderr, "mediumcheck: --dest is longer than %d characters\n", kPathRoom - 1);
        return 2;
    }
    if (dest)
        printf("Checked for  %s (--dest)\n", g_destDir);
    CheckLogo();
    CheckFiles();
    printf("\nLines the setup never reads\n");
    int before = ErrorCount() + WarningCount();
    CheckUnreadLines();
    if (ErrorCount() + WarningCount() == before)
        printf("      none\n");
    CheckRegistry();

    printf("\n%d file(s) on %d disk(s): %d error(s), %d warning(s)\n", g_totalFiles, g_diskCount,
           ErrorCount(), WarningCount());
    const bool complete = ErrorCount() == 0;
    printf("%s\n", complete ? "The setup installs this medium completely."
                            : "The setup would not install this medium completely.");
    FreePlan();
    return complete && !(strict && WarningCount()) ? 0 : 1;
}
