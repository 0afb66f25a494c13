// The names beside a target that an installation works under, and the sweep that clears
// what a killed run left under them: a replaced file whose target is missing goes back,
// everything else goes, except a staged file the restart list still waits to put in
// place.
#include "engine/sweep.h"
#include "engine/copy.h"
#include "base/format.h"
#include "base/globals.h"
#include "base/path.h"
#include "base/text.h"
#include "script/plan.h"

namespace {

// 'n' for a staged name, 'o' for a backup name, 0 for anything else; the name of the
// target it stands beside in `original` (room MAX_PATH).
char SideNameKind(const char* name, char* original)
{
    const char* mark = nullptr;
    for (const char* p = name; *p; ++p)
        if (p[0] == '.' && p[1] == '~' && p[2] == 'z')
            mark = p;
    if (!mark || mark == name || (mark[3] != 'n' && mark[3] != 'o'))
        return 0;
    const char* p = mark + 4;
    if (*p < '0' || *p > '9')
        return 0;
    while (*p >= '0' && *p <= '9')
        ++p;
    if (*p == '-' && p[1] >= '0' && p[1] <= '9')
        for (++p; *p >= '0' && *p <= '9'; ++p) {
        }
    if (*p)
        return 0;
    lstrcpynA(original, name, (int)(mark - name) + 1);
    return mark[3];
}

// Every folder the plan puts files in under `dest`: the destination's sub-directories and
// the Windows directories.
template <typename Visit> void EachPlanFolder(const char* dest, Visit visit)
{
    for (int key = 0; key < kDirKeyCount; ++key) {
        char dir[MAX_PATH];
        const char* suffix = DirKeyWindowsSuffix(key);
        if (!suffix && key > 0 && !g_dirNames[key][0])
            continue; // an unused sub-directory key: the destination, visited for RootDir
        if (suffix ? TextCopy(dir, g_windowsDir) && TextAppend(dir, suffix)
                   : TextCopy(dir, dest) && PathAppend(dir, g_dirNames[key]))
            visit(dir);
    }
}

// Removes the tree of a staging destination that a killed run left (the name is the
// installation's own). Not deeper than the plan's directories can reach.
void RemoveStagedTree(const char* dir, int depth = 0)
{
    char pattern[MAX_PATH];
    if (depth > 16 || !TextCopy(pattern, dir) || !PathAppend(pattern, "*"))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern, &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            char path[MAX_PATH];
            if (lstrcmpA(fd.cFileName, ".") == 0 || lstrcmpA(fd.cFileName, "..") == 0 || !TextCopy(path, dir) ||
                !PathAppend(path, fd.cFileName))
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveStagedTree(path, depth + 1);
            else
                DeleteFileA(path);
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(dir);
}

} // namespace

int SideName(const char* target, const char* mark, int number, int attempt, char* out)
{
    char tail[32];
    if (attempt)
        FormatWith(tail, sizeof tail, "%s%d-%d", mark, number + 1, attempt);
    else
        FormatWith(tail, sizeof tail, "%s%d", mark, number + 1);
    return TextCopy(out, MAX_PATH, target) && TextAppend(out, MAX_PATH, tail);
}

int StageRootOf(const char* dest, char* out)
{
    return PlainPath(dest, out, MAX_PATH) && TextAppend(out, MAX_PATH, kRootMark);
}

void SweepLeftovers(const char* dir, const RestartList* list)
{
    char pattern[MAX_PATH];
    if (!TextCopy(pattern, dir) || !PathAppend(pattern, "*.~z*"))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        char original[MAX_PATH], path[MAX_PATH], target[MAX_PATH];
        const char kind = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : SideNameKind(fd.cFileName, original);
        if (!kind || !TextCopy(path, dir) || !PathAppend(path, fd.cFileName) || RestartListNamesSource(list, path))
            continue;
        // Killed between moving the previous file aside and putting the new one in its
        // place: the previous file goes back.
        if (kind == 'o' && TextCopy(target, dir) && PathAppend(target, original) &&
            GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND &&
            MoveFileA(path, target))
            continue;
        // A replaced file that a running program still holds goes at the restart.
        if (!DeleteFileA(path) && FileInUse(GetLastError()))
            MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

void SweepPlanFolders(const char* dest)
{
    char root[MAX_PATH];
    if (StageRootOf(dest, root) && GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES)
        RemoveStagedTree(root);
    RestartList list = {};
    RestartListRead(&list);
    EachPlanFolder(dest, [&](const char* dir) { SweepLeftovers(dir, &list); });
    RestartListFree(&list);
}
