// The page runner: one page from its template, with a message loop of its own.
#include "pages/pages.h"
#include "base/globals.h"

// Process-wide: the page protocol's answer, written by the page procedures and read by the
// runner after their window is gone.
short g_pageResult;

short RunPage(const char* className, WNDPROC proc, int templateId, LPARAM init)
{
    // The template names this class, so the page procedure gets every message of the
    // page. Registering again after Back fails harmlessly: the class stands as before.
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_MENU + 1);
    wc.lpszClassName = className;
    RegisterClassA(&wc);

    const HWND owner = g_backdrop;
    HWND page = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(templateId), owner, nullptr, 0);
    if (!page)
        return kResultNoPage; // nothing would ever post the quit message
    SendMessageA(page, WM_PAGEINIT, 0, init);
    if (IsWindow(page))
        PageFocusFirst(page);

    // Ends with the quit message that the page posts when it is destroyed. This loop
    // also serves the backdrop.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(page, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        PageFollowFocus(page);
    }
    // A destroyed owner destroys its pages too: no button was pressed then, and the
    // result of the previous page must not carry the user on.
    if (owner && !IsWindow(owner))
        return kResultNoPage;
    return g_pageResult;
}
