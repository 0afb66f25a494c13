// Program entry.
#include "app/globals.h"
#include "app/text.h"
#include "script/script.h"
#include "script/plan.h"
#include "res/ids.h"
#include "gfx/gfx.h"

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
    if (!CreateBackdrop()) {
        FreePlan();
        return 0;
    }
    // Until the page sequence is in: show the backdrop for two seconds.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 2000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
    DestroyWindow(g_backdrop);
    FreePlan();
    return 0;
}
