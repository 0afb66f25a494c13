// demoreport: what an installation from a medium left behind, read back from the system.
//
//   demoreport MEDIUM
//
// Reads the medium's SETUP.INF with the setup's own reader and plan, takes the
// destination from the uninstall entry the setup wrote (the script's default when there
// is none), and lists for every file record where it went, its size, whether it was
// expanded or copied and whether it equals its source as the platform expands it; then
// the registry entries, read back. Exit status 0 when every file is in place and equal
// to its source and every entry is there.
#include "base/globals.h"
#include "base/text.h"
#include "script/plan.h"
#include "script/script.h"
#include "engine/registration.h"
#include "tools/common/expand.h"
#include <cstdio>
#include <string>

namespace {

std::string ReadAll(const char* path)
{
    std::string data;
    ReadWholeFile(path, &data);
    return data;
}

// The content the platform's expansion service makes of a source on the medium.
std::string Expanded(const char* source)
{
    std::string data;
    ExpandToScratch(source, &data);
    return data;
}

int Value(HKEY root, const char* path, const char* name, char* out, DWORD room)
{
    HKEY key;
    out[0] = '\0';
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, size = room - 1;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)out, &size);
    RegCloseKey(key);
    if (r == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(DWORD)) {
        snprintf(out, room, "%lu", (unsigned long)*(const DWORD*)out);
        return 1;
    }
    if (r != ERROR_SUCCESS || type != REG_SZ)
        return 0;
    out[size] = '\0';
    return 1;
}

int ShowValue(HKEY root, const char* rootName, const char* path, const char* name)
{
    char data[512];
    int ok = Value(root, path, name, data, sizeof data);
    printf("  %s\\%s\n      %-18s %s\n", rootName, path, name ? name : "(default)",
           ok ? data : "MISSING");
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: demoreport MEDIUM\n");
        return 2;
    }
    g_instance = GetModuleHandleA(nullptr);
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);
    char script[MAX_PATH];
    snprintf(script, sizeof script, "%s\\SETUP.INF", argv[1]);
    if (!SetProgramDir(script) || !ReadSetupScriptInProgramDir()) {
        fprintf(stderr, "demoreport: cannot read %s\n", script);
        return 2;
    }
    // The destination the user chose is the one the uninstall entry names.
    char registered[512];
    const RegValue* command = nullptr;
    const RegStep* uninstall = FindRegValue(RegData::UninstallCommand, &command);
    if (uninstall && Value(RegRootKey(uninstall->root), uninstall->key, command->name, registered,
                           sizeof registered)) {
        // A command line: the path may stand in double quotes.
        char* path = registered[0] == '"' ? registered + 1 : registered;
        char* cut = strrchr(path, '\\');
        if (cut)
            *cut = '\0';
        TextCopy(g_destDir, path);
    } else {
        printf("No uninstall entry: the setup did not register (it was cancelled, or the "
               "Installing page was not reached). Below, the script's default destination.\n");
    }

    printf("Files installed from %s (destination %s)\n", g_programDir, g_destDir);
    int files = 0, good = 0;
    for (int d = 0; d < g_diskCount; ++d) {
        for (int i = 0; i < g_fileCounts[d]; ++i, ++files) {
            const FileRecord* r = PlanRecord(d, i);
            char source[MAX_PATH], target[MAX_PATH], shown[MAX_PATH];
            SourcePath(d, i, source, MAX_PATH);
            TargetPath(g_destDir, d, i, target, MAX_PATH);
            if (!GetFullPathNameA(target, MAX_PATH, shown, nullptr))
                TextCopy(shown, MAX_PATH, target);
            const std::string stored = ReadAll(source);
            const bool packed = stored.compare(0, 4, "SZDD") == 0;
            const std::string installed = ReadAll(target);
            const bool present = GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES;
            const bool same = present && installed == Expanded(source);
            good += same;
            char size[24];
            snprintf(size, sizeof size, "%u bytes", (unsigned)installed.size());
            const bool onMedium = GetFileAttributesA(source) != INVALID_FILE_ATTRIBUTES;
            printf("  disk %d  %-13s %-9s %12s  %s%s\n", d + 1, r->targetName,
                   packed ? "expanded" : "copied", present ? size : "-", shown,
                   !present ? (onMedium ? "  FAILED: not installed" : "  FAILED: not on the medium")
                   : same   ? ""
                            : "  FAILED: differs from the medium");
        }
    }
    if (good == files)
        printf("  %d of %d files in place, each equal to its source as expanded.\n", good, files);
    else
        printf("  %d of %d files FAILED: not in place, or not equal to their source.\n", files - good, files);

    printf("\nRegistry entries\n");
    int entries = 0, values = 0;
    for (const RegStep& step : kRegSteps) {
        for (const RegValue& value : step.values) {
            if (value.data == RegData::None)
                continue;
            const bool classes = step.root == RegRoot::Classes;
            entries += ShowValue(RegRootKey(step.root), classes ? "HKCR" : "HKLM", step.key,
                                 value.name);
            ++values;
        }
    }
    printf("  %d of %d values present.\n", entries, values);
    FreePlan();
    return good == files && entries == values ? 0 : 1;
}
