#include "install/install.h"
#include "app/globals.h"
#include "pages/pages.h"
// Placeholder until the Installing page lands: closes with Next at once.
LRESULT CALLBACK InstallPageProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    switch (m) {
    case WM_CREATE: PageCreate(w, g_screenWidth, g_screenHeight); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_PAGEINIT: g_pageResult = kResultNext; SendMessageA(w, WM_CLOSE, 0, 0); return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}
void RegisterSystem() {}
