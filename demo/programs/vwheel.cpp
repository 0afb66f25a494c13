// VWHEEL.EXE of the demo medium: the resident wheel utility. It keeps one small window
// titled "ZaderUvori" (the title by which setup finds it and asks it to close) and ends
// when that window is closed. A second start while one runs ends at once.
#include <windows.h>

static const char kTitle[] = "ZaderUvori";
static const char kClass[] = "VelanWheelUtility";

static LRESULT CALLBACK UtilityProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        RECT r;
        GetClientRect(w, &r);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(dc, "Velan Wheel Mouse utility\nWheel scrolling: 3 lines per notch", -1, &r,
                  DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_WORDBREAK);
        SelectObject(dc, old);
        EndPaint(w, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (FindWindowA(nullptr, kTitle))
        return 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = UtilityProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc))
        return 1;
    // A small tool window in the lower right corner, out of the way of other programs.
    const int width = 260, height = 80;
    int x = GetSystemMetrics(SM_CXSCREEN) - width - 8;
    int y = GetSystemMetrics(SM_CYSCREEN) - height - 8;
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, kClass, kTitle, WS_CAPTION | WS_SYSMENU, x, y,
                             width, height, nullptr, nullptr, instance, nullptr);
    if (!w)
        return 1;
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
