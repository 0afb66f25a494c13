// Uninstaller entry: started from the destination (as the list of installed programs
// starts it), reads UNINSTAL.INF there with the setup's reader and plan, makes sure it is
// the only uninstaller of that destination, asks, closes the resident utility, removes
// the package and tells what remains. With /S it asks and tells nothing: the answer is
// Yes, and the exit code tells what became of the removal.
#include "uninstall/uninstall.h"
#include "base/cmdline.h"
#include "base/format.h"
#include "base/globals.h"
#include "base/log.h"
#include "base/loadtext.h"
#include "base/path.h"
#include "base/text.h"
#include "engine/runlock.h"
#include "engine/utility.h"
#include "res/ids.h"
#include "script/plan.h"
#include "script/script.h"

namespace {

// The utility's files are tried again for this long while it ends.
constexpr DWORD kUtilityEndWait = 2000;

// Shows text `id` with `arg` formatted in it, unless silent; returns the box's answer
// (Yes when silent).
int Box(bool silent, int id, const char* arg, UINT type)
{
    char text[1025];
    FormatText(text, sizeof text, id, arg);
    // A warning ends the run before anything is removed: the log says why.
    if (type & MB_ICONWARNING)
        LogLine("stopped: %s", text);
    if (silent)
        return IDYES;
    return MessageBoxA(nullptr, text, g_caption, type);
}

// 1 when the plan names at least one file that could be removed.
int PlanNamesFiles()
{
    int names = 0;
    ForEachRecord([&](int disk, int rec) {
        const FileRecord* r = PlanRecord(disk, rec);
        names = names || (r && r->targetName[0]);
    });
    return names;
}

// Takes the lock of destination `dest`, held until the program ends: a named mutex whose
// name is the destination's plain form (any spelling of one destination gives one name).
// 0 when another uninstaller of the destination holds it.
int LockDestination(const char* dest)
{
    char plain[MAX_PATH], name[MAX_PATH + 32];
    if (!PlainPath(dest, plain, MAX_PATH))
        return 1; // not a path that the removal could use either
    CharUpperA(plain);
    for (char* p = plain; *p; ++p)
        if (*p == '\\')
            *p = '/'; // a backslash in a mutex name names a namespace
    if (!TextCopy(name, "ZaderUvori uninstaller ") || !TextAppend(name, plain))
        return 1;
    HANDLE lock = CreateMutexA(nullptr, FALSE, name);
    return !(lock && GetLastError() == ERROR_ALREADY_EXISTS);
}

// The closing box: a complete removal says so and nothing else; otherwise what remains
// and why. `selfPending` is the uninstaller's own file left in the destination until the
// restart (not when it waits for the restart parked elsewhere).
void ClosingBox(bool silent, const Leftovers& left, int selfPending)
{
    if (silent)
        return;
    char text[sizeof left.text + 1024];
    char line[1025];
    const bool partly = left.lines || left.foreign || left.liveDir[0];
    FormatText(text, sizeof text, partly ? IDS_UNINST_PARTLY : IDS_UNINST_DONE, g_productName);
    if (left.lines) {
        TextAppend(text, "\n\n");
        TextAppend(text, left.text);
    }
    if (left.more) {
        char count[16];
        wsprintfA(count, "%d", left.more);
        FormatText(line, sizeof line, IDS_UNINST_MORE, count);
        TextAppend(text, "\n");
        TextAppend(text, line);
    }
    if (left.liveDir[0]) {
        FormatText(line, sizeof line, IDS_UNINST_NOT_LIVE, left.liveDir);
        TextAppend(text, "\n\n");
        TextAppend(text, line);
    }
    if (left.foreign) {
        TextAppend(text, "\n\n");
        TextAppend(text, LoadText(IDS_UNINST_FOREIGN));
    }
    if (selfPending) {
        TextAppend(text, partly ? "\n\n" : " ");
        TextAppend(text, LoadText(IDS_UNINST_RESTART));
    }
    MessageBoxA(nullptr, text, g_caption, MB_OK | (partly ? MB_ICONWARNING : MB_ICONINFORMATION));
}

// The run's last line in the log, then the exit code.
int Ending(Outcome outcome)
{
    return EndRun(Program::Uninstaller, outcome, true);
}

int Uninstall(const char* args)
{
    // /S: no box at all.
    const bool silent = HasSwitch(args, "S");
    if (HasValueSwitch(args, "LOG")) {
        char log[MAX_PATH];
        if (!SwitchValue(args, "LOG", log, MAX_PATH) || !log[0])
            return OutcomeExitCode(Outcome::BadSwitch);
        LogOpen(log);
        LogStart("UNINSTAL.EXE", args);
    }
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);

    char selfExe[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, selfExe, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        selfExe[0] = '\0';
    SetProgramDir(selfExe);
    // The destination is where the uninstaller was installed, whatever the script's
    // default; at a drive's root with its backslash ("F:" alone names the drive's current
    // directory).
    char dest[kPathRoom];
    TextCopy(dest, g_programDir);
    if (dest[0] && dest[1] == ':' && !dest[2])
        TextAppend(dest, "\\");
    const int alone = LockDestination(dest);

    char selfInf[MAX_PATH];
    const bool named = g_programDir[0] && TextCopy(selfInf, g_programDir) && PathAppend(selfInf, "UNINSTAL.INF");
    const DWORD attributes = named ? GetFileAttributesA(selfInf) : INVALID_FILE_ATTRIBUTES;
    const bool script = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    char programDir[kPathRoom];
    TextCopy(programDir, g_programDir);
    if (!script)
        g_programDir[0] = '\0'; // the defaults: the product's name for the caption
    const int read = ReadScriptInProgramDir("UNINSTAL.INF");
    TextCopy(g_programDir, programDir);
    TextCopy(g_destDir, dest);
    Removal removal = {};
    TextCopy(removal.dest, dest);
    FormatText(g_caption, kPathRoom, IDS_UNINST_CAPTION, g_productName);

    LogLine("destination %s, product %s", g_destDir, g_productName);
    int keepMarks = 0;
    Outcome early = Outcome::Failed; // nothing removed
    if (!alone) {
        Box(silent, IDS_UNINST_RUNNING, g_destDir, MB_OK | MB_ICONWARNING);
    } else if (!TakeRunLock()) {
        // A setup or another destination's uninstaller of the package is running.
        Box(silent, IDS_UNINST_BUSY, g_productName, MB_OK | MB_ICONWARNING);
        early = Outcome::Busy;
    } else if (!script || !read) {
        Box(silent, IDS_UNINST_NO_SCRIPT, g_destDir, MB_OK | MB_ICONWARNING);
    } else {
        char product[kProductRoom];
        ReadScriptText(IDS_MAIN, LoadText(IDS_PRODUCTNAME), "", product, kProductRoom);
        if (!product[0] || !PlanNamesFiles())
            Box(silent, IDS_UNINST_DAMAGED, g_destDir, MB_OK | MB_ICONWARNING);
        else if (!(keepMarks = ReadKeepMarks(&removal)))
            Box(silent, IDS_UNINST_NO_SCRIPT, g_destDir, MB_OK | MB_ICONWARNING);
    }
    if (!keepMarks) {
        FreeRemovalState(&removal);
        FreePlan();
        return Ending(early);
    }

    // Everything the removal goes by is read before the question: the script, the Keep
    // marks, and whether the registration names this installation.
    DecideLive(&removal);
    if (Box(silent, IDS_UNINST_CONFIRM, g_productName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        FreeRemovalState(&removal);
        FreePlan();
        return Ending(Outcome::Cancelled);
    }
    // The running utility is the live installation's (its Run entry starts it).
    const DWORD inUseWait = removal.live && CloseUtility(kUtilityWait) ? kUtilityEndWait : 0;
    // The destination must not stay the current directory, or it could not be removed.
    SetCurrentDirectoryA(g_windowsDir);
    const Outcome outcome = RunRemoval(&removal, selfExe, selfInf, inUseWait);
    ClosingBox(silent, removal.left, removal.selfPending);
    FreeRemovalState(&removal);
    FreePlan();
    return Ending(outcome);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int)
{
    g_instance = instance;
    return Uninstall(args);
}
