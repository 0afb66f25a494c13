// Program entry: the platform gate, the setup script, the backdrop, then the pages.
#include "base/globals.h"
#include "app/sequence.h"
#include "gfx/gfx.h"
#include "base/loadtext.h"
#include "script/script.h"
#include "script/plan.h"
#include "res/ids.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_instance = instance;
    g_screenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = (short)GetSystemMetrics(SM_CYSCREEN);

    // The high bit is set outside the NT family; every NT version passes.
    if (GetVersion() & 0x80000000) {
        MessageBoxA(nullptr, LoadText(IDS_NT_ONLY), "Warning", MB_ICONWARNING);
        return 0;
    }
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);

    if (!ReadSetupScript()) {
        MessageBoxA(nullptr, LoadText(IDS_READ_ERROR), g_caption, MB_ICONWARNING);
        return 0;
    }
    if (!CreateBackdrop()) {
        FreePlan();
        return 0;
    }
    return RunSequence();
}
