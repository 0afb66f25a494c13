// The removal's rules: shared-file counts, the directories that may go, commands
// compared as paths. Nothing here touches the file system or the registry.
#include "uninstall/rules.h"
#include "base/path.h"
#include "base/text.h"
#include "res/ids.h"
#include "script/plan.h"
#include <windows.h>

SharedFate SharedFileFate(long count, int kept, int live)
{
    SharedFate fate = {count, 0, 0};
    if (count == kNoCount)
        fate.removeFile = live && !kept;
    else if (count != kOddCount) {
        const long floor = live ? 0 : 1;
        if (count > floor)
            fate.count = count - 1;
        fate.removeFile = fate.count == 0 && live && !kept;
    }
    if (!fate.removeFile)
        fate.line = kept ? IDS_UNINST_KEPT : IDS_UNINST_SHARED;
    return fate;
}

int DirMayGo(const char* dir, const char* dest, const char* windowsDir)
{
    char plain[MAX_PATH];
    // A root keeps its backslash in the plain form; a bare "X:" is a drive's current
    // directory, whatever that is.
    const int len = PlainPath(dir, plain, MAX_PATH) ? lstrlenA(plain) : 0;
    if (len == 0 || plain[len - 1] == '\\' || (len == 2 && plain[1] == ':'))
        return 0;
    if (!SamePath(plain, dest) && !PathInside(plain, dest))
        return 0;
    // None of the Windows directories that the directory keys name (the Windows directory
    // itself among them), nor one that holds them (SYSTEM32 holds SYSTEM32\DRIVERS).
    char system[MAX_PATH];
    for (int key = 0; key < kDirKeyCount; ++key) {
        const char* suffix = DirKeyWindowsSuffix(key);
        if (suffix && TextCopy(system, windowsDir) && TextAppend(system, suffix) &&
            (SamePath(plain, system) || PathInside(system, plain)))
            return 0;
    }
    return 1;
}

int CommandProgram(const char* command, char* out, int room)
{
    if (!TextCopy(out, room, command[0] == '"' ? command + 1 : command))
        return 0;
    const int len = lstrlenA(out);
    if (command[0] == '"' && len > 0 && out[len - 1] == '"')
        out[len - 1] = '\0';
    return 1;
}

int SameCommand(const char* a, const char* b)
{
    char pa[MAX_PATH], pb[MAX_PATH];
    return CommandProgram(a, pa, MAX_PATH) && CommandProgram(b, pb, MAX_PATH) && SamePath(pa, pb);
}
