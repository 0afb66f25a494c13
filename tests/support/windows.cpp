#include "support/windows.h"

namespace {
// Long enough for a loaded machine; a hung window still cannot hang the test.
const DWORD kSendTimeout = 20000;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        DWORD spent = GetTickCount() - start;
        if (spent >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

std::string Text(HWND w)
{
    char buf[1024] = "";
    DWORD_PTR r = 0;
    if (!w || !SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_NORMAL, kSendTimeout, &r))
        return "<no text>";
    buf[sizeof buf - 1] = '\0';
    return buf;
}

std::string ItemText(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    return c ? Text(c) : "<no control>";
}

std::string ClassOf(HWND w)
{
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    return cls;
}

std::string BoxText(HWND box)
{
    HWND text = GetDlgItem(box, 100);     // Wine's message box
    if (!text)
        text = GetDlgItem(box, 0xFFFF);   // Windows'
    return text ? Text(text) : "<no message>";
}
