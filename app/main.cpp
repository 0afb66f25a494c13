// Program entry.
#include "app/globals.h"
#include "app/text.h"
#include "script/script.h"
#include "script/plan.h"
#include "res/ids.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_instance = instance;
    g_screenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
    GetWindowsDirectoryA(g_windowsDir, kPathRoom);

    if (!ReadSetupScript()) {
        MessageBoxA(nullptr, LoadText(IDS_READ_ERROR), g_caption, MB_ICONWARNING);
        return 0;
    }
    FreePlan();
    return 0;
}
