// Program entry: the switches, the platform gate, the setup script, the backdrop, then the
// pages; with /S the installation without a window instead of the pages.
#include "base/format.h"
#include "base/globals.h"
#include "base/log.h"
#include "base/text.h"
#include "app/sequence.h"
#include "app/unattended.h"
#include "engine/runlock.h"
#include "gfx/gfx.h"
#include "base/loadtext.h"
#include "script/script.h"
#include "script/plan.h"
#include "res/ids.h"

namespace {

// The exit code of an outcome: the wizard alone, started without a switch, always exits 0.
int Ending(const RunOptions& options, Outcome outcome)
{
    return EndRun(Program::Setup, outcome, options.reported);
}

int Run(const char* args)
{
    RunOptions options;
    const int valid = ReadRunOptions(args, &options);
    if (options.log[0]) {
        LogOpen(options.log);
        LogStart("setup.exe", args);
    }
    if (!valid)
        return Ending(options, Outcome::BadSwitch);
    g_screenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = (short)GetSystemMetrics(SM_CYSCREEN);

    // The high bit is set outside the NT family; every NT version passes.
    if (GetVersion() & 0x80000000) {
        LogLine("not a Windows of the NT family");
        if (!options.silent)
            MessageBoxA(nullptr, LoadText(IDS_NT_ONLY), "Warning", MB_ICONWARNING);
        return Ending(options, Outcome::Failed);
    }
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);

    const int read = ReadSetupScript();
    LogLine("script %s\\SETUP.INF: %s, product %s", g_programDir, read ? "read" : "not read", g_productName);
    if (!read) {
        if (!options.silent)
            MessageBoxA(nullptr, LoadText(IDS_READ_ERROR), g_caption, MB_ICONWARNING);
        return Ending(options, Outcome::Failed);
    }
    // One installation or removal at a time: from here on nothing is changed by another.
    if (!TakeRunLock()) {
        LogLine("another setup or uninstaller of %s is running", g_productName);
        if (!options.silent) {
            char text[kTextRoom * 2];
            FormatText(text, sizeof text, IDS_ALREADY_RUNNING, g_productName);
            MessageBoxA(nullptr, text, g_caption, MB_ICONWARNING);
        }
        FreePlan();
        return Ending(options, Outcome::Busy);
    }
    if (options.dest[0])
        TextCopy(g_destDir, options.dest);
    if (options.silent) {
        const Outcome outcome = RunUnattended();
        FreePlan();
        return Ending(options, outcome);
    }
    if (!CreateBackdrop()) {
        FreePlan();
        return Ending(options, Outcome::Failed);
    }
    return Ending(options, RunSequence(!options.noRestart));
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int)
{
    g_instance = instance;
    return Run(args);
}
