// Program entry: the switches, the platform gate, the setup script, the backdrop, then the
// pages; with /S the installation without a window instead of the pages.
#include "base/exitcodes.h"
#include "base/globals.h"
#include "base/log.h"
#include "base/text.h"
#include "app/sequence.h"
#include "app/unattended.h"
#include "gfx/gfx.h"
#include "base/loadtext.h"
#include "script/script.h"
#include "script/plan.h"
#include "res/ids.h"

namespace {

// The exit code of an outcome: the wizard alone, started without a switch, always exits 0.
int Ending(const RunOptions& options, int code)
{
    LogLine("result %s, exit code %d",
            code == kExitDone ? "installed"
            : code == kExitRestartNeeded ? "installed, a restart finishes it"
            : code == kExitCancelled ? "cancelled, nothing changed"
            : code == kExitBadSwitch ? "a switch with a bad value, nothing done"
                                     : "not installed, nothing changed",
            options.reported ? code : 0);
    LogClose();
    return options.reported ? code : 0;
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
        return Ending(options, kExitBadSwitch);
    g_screenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = (short)GetSystemMetrics(SM_CYSCREEN);

    // The high bit is set outside the NT family; every NT version passes.
    if (GetVersion() & 0x80000000) {
        LogLine("not a Windows of the NT family");
        if (!options.silent)
            MessageBoxA(nullptr, LoadText(IDS_NT_ONLY), "Warning", MB_ICONWARNING);
        return Ending(options, kExitFailed);
    }
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);

    const int read = ReadSetupScript();
    LogLine("script %s\\SETUP.INF: %s, product %s", g_programDir, read ? "read" : "not read", g_productName);
    if (!read) {
        if (!options.silent)
            MessageBoxA(nullptr, LoadText(IDS_READ_ERROR), g_caption, MB_ICONWARNING);
        return Ending(options, kExitFailed);
    }
    if (options.dest[0])
        TextCopy(g_destDir, options.dest);
    if (options.silent) {
        const int code = RunUnattended();
        FreePlan();
        return Ending(options, code);
    }
    if (!CreateBackdrop()) {
        FreePlan();
        return Ending(options, kExitFailed);
    }
    return Ending(options, RunSequence(!options.noRestart));
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR args, int)
{
    g_instance = instance;
    return Run(args);
}
