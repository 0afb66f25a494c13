// VWTEST.EXE of the demo medium: the wheel and button test. A small window that shows
// which mouse buttons are down and adds up the wheel's turns, so a user can check the
// driver after the installation.
#include <windows.h>

static int s_notches;     // wheel turns, in notches (WHEEL_DELTA each)
static int s_wheelRemain; // part of a notch not yet counted
static WPARAM s_buttons;

static LRESULT CALLBACK TestProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_MOUSEWHEEL:
        s_wheelRemain += (short)HIWORD(wp);
        s_notches += s_wheelRemain / WHEEL_DELTA;
        s_wheelRemain %= WHEEL_DELTA;
        InvalidateRect(w, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN: case WM_RBUTTONUP:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP:
        s_buttons = wp;
        InvalidateRect(w, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        char text[160];
        wsprintfA(text, "Turn the wheel and press the buttons.\n\nWheel: %d notches\nLeft %s   Middle %s   Right %s",
                  s_notches, (s_buttons & MK_LBUTTON) ? "down" : "up", (s_buttons & MK_MBUTTON) ? "down" : "up",
                  (s_buttons & MK_RBUTTON) ? "down" : "up");
        RECT r;
        GetClientRect(w, &r);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(dc, text, -1, &r, DT_CENTER | DT_NOPREFIX | DT_WORDBREAK);
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TestProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = "VelanWheelTest";
    if (!RegisterClassA(&wc))
        return 1;
    HWND w = CreateWindowExA(0, wc.lpszClassName, "Velan Wheel and Button Test", WS_OVERLAPPEDWINDOW,
                             CW_USEDEFAULT, CW_USEDEFAULT, 320, 160, nullptr, nullptr, instance, nullptr);
    if (!w)
        return 1;
    ShowWindow(w, show);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
