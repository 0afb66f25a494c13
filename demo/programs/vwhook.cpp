// VWHOOK.DLL of the demo medium: the wheel support library that older programs load. It
// turns wheel notches into the scroll messages those programs know.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT WINAPI WheelToScroll(HWND window, WPARAM wheel)
{
    const int notches = (short)HIWORD(wheel) / WHEEL_DELTA;
    const WPARAM code = notches > 0 ? SB_LINEUP : SB_LINEDOWN;
    for (int i = 0; i < (notches > 0 ? notches : -notches) * 3; ++i)
        SendMessageA(window, WM_VSCROLL, code, 0);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
