// Behaviour every page shares: title and placement at creation, ending with a result,
// the not-completed warning, and the product name put into a template text.
#include "pages/pages.h"
#include "base/globals.h"
#include "base/text.h"
#include "base/loadtext.h"
#include "base/format.h"
#include "res/ids.h"

PagePlace PlacePage(const RECT& window, short screenWidth, short screenHeight)
{
    PagePlace p;
    p.width = (short)(window.right - window.left + 1);
    p.height = (short)(window.bottom - window.top + 1);
    p.x = (short)((screenWidth - p.width) / 2);
    p.y = (short)((screenHeight - p.height) / 2);
    return p;
}

void PageCreate(HWND page, short screenWidth, short screenHeight)
{
    char templateTitle[kTextRoom];
    char title[kTextRoom];
    GetWindowTextA(page, templateTitle, kTextRoom);
    TextCopy(title, g_productName);
    TextAppend(title, " ");
    TextAppend(title, templateTitle);
    SetWindowTextA(page, title);

    RECT rc;
    GetWindowRect(page, &rc);
    const PagePlace p = PlacePage(rc, screenWidth, screenHeight);
    SetWindowPos(page, nullptr, p.x, p.y, p.width, p.height, SWP_SHOWWINDOW);
}

namespace {

// Set while a page closes itself through one of its buttons: every other WM_CLOSE came
// from elsewhere and must not carry the user on with whatever result was left before.
bool s_pageClosing;

// A close request that none of the page's buttons made.
void ForeignClose(HWND page, PageFrame frame)
{
    // A page with a box of its own open (a warning, the Browse dialog) is disabled: the
    // box is the user's business first.
    if (!IsWindowEnabled(page))
        return;
    if (frame == PageFrame::Finish) {
        // The installation is complete; only the Finish button may restart the machine.
        g_options[kOptRestart] = 0;
        PageClose(page);
    } else {
        PageCancel(page);
    }
}

} // namespace

void PageClose(HWND page)
{
    s_pageClosing = true;
    SendMessageA(page, WM_CLOSE, 0, 0);
    s_pageClosing = false;
}

int PageFrameMessage(HWND page, UINT msg, PageFrame frame)
{
    switch (msg) {
    case WM_CREATE:
        if (frame == PageFrame::Finish)
            PageCreate(page, (short)GetSystemMetrics(SM_CXSCREEN), (short)GetSystemMetrics(SM_CYSCREEN));
        else
            PageCreate(page, g_screenWidth, g_screenHeight);
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 1;
    case WM_CLOSE:
        if (s_pageClosing || frame == PageFrame::Installing)
            return 0; // on to DefWindowProcA, which destroys the page
        ForeignClose(page, frame);
        return 1;
    }
    return 0;
}

void PageEnd(HWND page, short result)
{
    g_pageResult = result;
    PageClose(page);
}

void NotCompletedWarning(HWND page)
{
    char text[kTextRoom];
    TextCopy(text, g_productName);
    TextAppend(text, LoadText(IDS_NOT_COMPLETED));
    MessageBoxA(page, text, g_caption, MB_ICONWARNING);
}

void PageCancel(HWND page)
{
    NotCompletedWarning(page);
    PageEnd(page, kResultCancel);
}

void FormatProductText(HWND page, int id)
{
    char format[kTextRoom];
    char text[kTextRoom];
    GetDlgItemTextA(page, id, format, kTextRoom);
    FormatWith(text, kTextRoom, format, g_productName);
    SetDlgItemTextA(page, id, text);
}
