// Uninstaller entry: started from the destination (as the list of installed programs
// starts it), reads UNINSTAL.INF there with the setup's reader and plan, asks, closes the
// resident utility, removes the package and tells what remains.
#include "uninstall/uninstall.h"
#include "base/globals.h"
#include "base/text.h"
#include "install/install.h"
#include "res/ids.h"
#include "script/plan.h"
#include "base/loadtext.h"
#include "script/script.h"

namespace {

// The utility's files are tried again for this long while it ends.
constexpr DWORD kUtilityEndWait = 2000;

// Shows text `id` with `arg` formatted in it; returns the box's answer.
int Box(int id, const char* arg, UINT type)
{
    char text[1025]; // wsprintfA writes up to 1024 characters
    const char* format = LoadText(id);
    wsprintfA(text, format ? format : "%s", arg);
    return MessageBoxA(nullptr, text, g_caption, type);
}

// 1 when the plan names at least one file that could be removed.
int PlanNamesFiles()
{
    for (int disk = 0; disk < g_diskCount; ++disk)
        for (int rec = 0; rec < g_fileCounts[disk]; ++rec) {
            const FileRecord* r = PlanRecord(disk, rec);
            if (r && r->targetName[0])
                return 1;
        }
    return 0;
}

void ClosingBox(const Leftovers& left, int selfPending)
{
    char text[sizeof left.text + 512];
    char line[1025];
    if (!left.lines && !left.foreign && !left.liveDir[0]) {
        wsprintfA(line, LoadText(IDS_UNINST_DONE), g_productName);
        TextCopy(text, line);
        if (selfPending) {
            TextAppend(text, " ");
            TextAppend(text, LoadText(IDS_UNINST_RESTART));
        }
        MessageBoxA(nullptr, text, g_caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    wsprintfA(line, LoadText(IDS_UNINST_PARTLY), g_productName);
    TextCopy(text, line);
    TextAppend(text, "\n\n");
    TextAppend(text, left.text);
    if (left.more) {
        char count[16];
        wsprintfA(count, "%d", left.more);
        wsprintfA(line, LoadText(IDS_UNINST_MORE), count);
        TextAppend(text, "\n");
        TextAppend(text, line);
    }
    if (left.liveDir[0]) {
        wsprintfA(line, LoadText(IDS_UNINST_NOT_LIVE), left.liveDir);
        TextAppend(text, "\n\n");
        TextAppend(text, line);
    }
    if (left.foreign) {
        TextAppend(text, "\n\n");
        TextAppend(text, LoadText(IDS_UNINST_FOREIGN));
    }
    if (selfPending) {
        TextAppend(text, "\n\n");
        TextAppend(text, LoadText(IDS_UNINST_RESTART));
    }
    MessageBoxA(nullptr, text, g_caption, MB_OK | MB_ICONWARNING);
}

// Removes the uninstaller's script and the uninstaller itself. A running program's file
// cannot be deleted, but it can be renamed: it moves out of the destination to a
// temporary name on the same volume, which goes at the next restart. Nothing pending then
// names the destination, so the destination goes now, and an installation made again
// before the restart keeps its own uninstaller. Where it cannot move (the temporary
// directory on another volume), it is scheduled for the restart where it is. 1 when the
// program file goes only at the restart.
int RemoveSelf(const char* selfExe, const char* selfInf, int selfNamed, int infNamed, Leftovers* left)
{
    if (infNamed)
        RemoveOneFile(selfInf, true, left);
    if (!selfNamed || DeleteFileA(selfExe))
        return 0;
    char tempDir[MAX_PATH], parked[MAX_PATH];
    const DWORD len = GetTempPathA(MAX_PATH, tempDir);
    if (len && len < MAX_PATH && GetTempFileNameA(tempDir, "zun", 0, parked)) {
        if (MoveFileExA(selfExe, parked, MOVEFILE_REPLACE_EXISTING) &&
            MoveFileExA(parked, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            return 1;
        DeleteFileA(parked);
    }
    RemoveOneFile(selfExe, false, left);
    return GetFileAttributesA(selfExe) != INVALID_FILE_ATTRIBUTES;
}

int Uninstall()
{
    g_screenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);

    char selfExe[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, selfExe, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        selfExe[0] = '\0';
    SetProgramDir(selfExe);
    char selfInf[MAX_PATH];
    const bool named = g_programDir[0] && TextCopy(selfInf, g_programDir) && TextAppend(selfInf, "\\UNINSTAL.INF");
    const DWORD attributes = named ? GetFileAttributesA(selfInf) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        g_programDir[0] = '\0';
        ReadScriptInProgramDir("UNINSTAL.INF"); // the defaults: the caption for the box
        char dir[MAX_PATH];
        SetProgramDir(selfExe);
        TextCopy(dir, g_programDir);
        Box(IDS_UNINST_NO_SCRIPT, dir, MB_OK | MB_ICONWARNING);
        FreePlan();
        return 1;
    }
    if (!ReadScriptInProgramDir("UNINSTAL.INF")) {
        Box(IDS_UNINST_NO_SCRIPT, g_programDir, MB_OK | MB_ICONWARNING);
        return 1;
    }
    // The destination is where the uninstaller was installed, whatever the script's
    // default; at a drive's root with its backslash ("F:" alone names the drive's current
    // directory).
    TextCopy(g_destDir, g_programDir);
    if (g_destDir[0] && g_destDir[1] == ':' && !g_destDir[2])
        TextAppend(g_destDir, "\\");

    char product[kProductRoom];
    ReadScriptText(IDS_MAIN, LoadText(IDS_PRODUCTNAME), "", product, kProductRoom);
    if (!product[0] || !PlanNamesFiles()) {
        Box(IDS_UNINST_DAMAGED, g_destDir, MB_OK | MB_ICONWARNING);
        FreePlan();
        return 1;
    }
    if (Box(IDS_UNINST_CONFIRM, g_productName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        FreePlan();
        return 0;
    }
    if (!ReadKeepMarks()) {
        Box(IDS_UNINST_NO_SCRIPT, g_destDir, MB_OK | MB_ICONWARNING);
        FreePlan();
        return 1;
    }
    static Leftovers left;
    const int live = RegisteredHere(left.liveDir);
    // The running utility is the live installation's (its Run entry starts it).
    const DWORD inUseWait = live && CloseUtility(kUtilityWait) ? kUtilityEndWait : 0;
    // The destination must not stay the current directory, or it could not be removed.
    SetCurrentDirectoryA(g_windowsDir);

    int selfNamed, infNamed;
    RemovePlanFiles(selfExe, selfInf, live, inUseWait, &selfNamed, &infNamed, &left);
    if (live)
        RemoveRegistration(&left);
    const int selfPending = RemoveSelf(selfExe, selfInf, selfNamed, infNamed, &left);
    RemoveDirectories(&left);
    ClosingBox(left, selfPending);
    FreeRemovalState();
    FreePlan();
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_instance = instance;
    return Uninstall();
}
