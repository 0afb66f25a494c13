// Behaviour every page shares: title and placement at creation, the focus and the
// default push button, ending with a result, the not-completed warning, and the product
// name put into a template text.
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

// The control of the shown page that had the focus last: the page gives it the focus
// again when it is activated (DefWindowProcA would leave the focus on the page itself,
// where no key reaches a control).
HWND s_focus;

bool IsPushButton(HWND control)
{
    return SendMessageA(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
}

bool CanTakeFocus(HWND page, HWND control)
{
    return control && IsChild(page, control) && IsWindowVisible(control) && IsWindowEnabled(control);
}

// Wine's check boxes and radio buttons draw their focus rectangle by inverting it, once
// more at each change of their state, so that after Space or an arrow key the focused
// box has none. Drawn whole once more, it has its one rectangle.
void RedrawFocusedBox(HWND page)
{
    HWND focus = GetFocus();
    if (!focus || !IsChild(page, focus))
        return;
    const LRESULT code = SendMessageA(focus, WM_GETDLGCODE, 0, 0);
    if ((code & DLGC_BUTTON) && !(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
        InvalidateRect(focus, nullptr, TRUE);
}

} // namespace

void PageFocusFirst(HWND page)
{
    HWND first = GetDlgItem(page, IDC_NEXT);
    if (!CanTakeFocus(page, first))
        first = GetNextDlgTabItem(page, nullptr, FALSE);
    s_focus = first;
    // A page that is not the active window gets the focus when it is activated.
    if (first && GetFocus() == page)
        SetFocus(first);
}

void PageFollowFocus(HWND page)
{
    HWND focus = GetFocus();
    if (focus == s_focus || !focus || !IsChild(page, focus))
        return;
    s_focus = focus;
    // Button 1 is what Enter presses when the focus is on no push button.
    HWND wanted = IsPushButton(focus) ? focus : GetDlgItem(page, IDC_NEXT);
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const LRESULT code = SendMessageA(c, WM_GETDLGCODE, 0, 0);
        if (c != wanted && (code & DLGC_DEFPUSHBUTTON))
            SendMessageA(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        else if (c == wanted && (code & DLGC_UNDEFPUSHBUTTON))
            SendMessageA(c, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
}

LRESULT PageDefault(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_NEXTDLGCTL: {
        // A nonzero long parameter names the control in the word parameter; otherwise
        // the word parameter chooses the previous or the next tab stop.
        HWND to = (HWND)wp;
        if (!LOWORD(lp)) {
            HWND from = GetFocus();
            to = GetNextDlgTabItem(page, IsChild(page, from) ? from : nullptr, wp != 0);
        }
        if (CanTakeFocus(page, to)) {
            SetFocus(to);
            PageFollowFocus(page);
        }
        return 0;
    }
    case WM_SETFOCUS:
        if (CanTakeFocus(page, s_focus)) {
            SetFocus(s_focus);
            return 0;
        }
        break;
    }
    return DefWindowProcA(page, msg, wp, lp);
}

void PageClose(HWND page)
{
    s_pageClosing = true;
    SendMessageA(page, WM_CLOSE, 0, 0);
    s_pageClosing = false;
}

int PageFrameMessage(HWND page, UINT msg, PageFrame frame)
{
    switch (msg) {
    case WM_COMMAND:
        // A button may open a box before the runner's loop sees that the click or its
        // mnemonic gave it the focus: the box gives the focus back to that button.
        PageFollowFocus(page);
        RedrawFocusedBox(page);
        return 0;
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
