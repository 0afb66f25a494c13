// The Installing page: all its work happens inside the page-init message. It runs the
// installation it is given (engine/installation.h) and shows it: the file being staged,
// the per-disk percentage and progress bar, "Updating Registry..." for a second before
// the files are put in place; then what could not be installed, or the not-completed
// warning, and it closes itself. One pending message is handled between the steps of
// each file, so the page stays painted and its Cancel button works.
#include "pages/pages.h"
#include "base/globals.h"
#include "base/loadtext.h"
#include "base/text.h"
#include "engine/installation.h"
#include "gfx/gfx.h"
#include "res/ids.h"

namespace {

constexpr char kUpdatingRegistry[] = "Updating Registry...";
constexpr COLORREF kBarColour = RGB(0, 0, 255);

// What the page is doing: a Cancel click or a close request counts only while files are
// being copied; once the registration is under way the page finishes with Next.
enum class Phase { Idle, Copying, Finishing };

// One showing of the page, reached from its window (GWLP_USERDATA) while it runs. It
// looks up once instead of for every file the controls it writes to, and for the current
// disk the progress area and the bar last drawn in it. The bar is painted straight onto
// the page, so an erase of the page's background takes it away; until then painting the
// same bar again would change no pixel.
struct InstallingPage {
    HWND page;
    HDC dc;
    Phase phase;
    bool cancelled;            // the user asked to cancel while files were copied
    HWND status;               // control 1019
    HWND percent;              // control 1013
    RECT area;                 // control 1011 in page client coordinates
    LONG barRight;             // right edge of the bar last drawn
    bool barShown;             // that bar is still on the page
    char copying[kTextRoom];   // "Copying " as the string table has it
};

InstallingPage* PageOf(HWND page)
{
    return reinterpret_cast<InstallingPage*>(GetWindowLongPtrA(page, GWLP_USERDATA));
}

bool SameText(const char* a, const char* b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

// Sets the text of a control and repaints the control at once. A text the control shows
// already is not set again: that would only paint the same pixels once more.
void SetControlText(HWND control, const char* text)
{
    char shown[kTextRoom];
    if (GetWindowTextA(control, shown, kTextRoom) >= kTextRoom - 1 || !SameText(shown, text))
        SetWindowTextA(control, text);
    UpdateWindow(control);
}

void DrawBar(InstallingPage* p, int percent)
{
    RECT bar;
    ProgressBarRect(&p->area, percent, &bar);
    if (p->barShown && bar.right == p->barRight)
        return;
    HBRUSH brush = CreateSolidBrush(kBarColour);
    FillRect(p->dc, &bar, brush);
    DeleteObject(brush);
    p->barRight = bar.right;
    p->barShown = true;
}

// ---- The installation's observer ------------------------------------------------------

void DiskBegins(void* context, int)
{
    InstallingPage* p = static_cast<InstallingPage*>(context);
    UpdateWindow(p->page);
    BevelBox(p->page, p->dc, IDC_PROGRESS, 0); // white: clears the previous disk's bar
    ControlRect(p->page, IDC_PROGRESS, &p->area);
    p->barShown = false;
}

void FileBegins(void* context, int disk, int rec)
{
    InstallingPage* p = static_cast<InstallingPage*>(context);
    const FileRecord* r = PlanRecord(disk, rec);
    char status[kTextRoom];
    TextCopy(status, p->copying);
    if (r) {
        TextAppend(status, r->sourceName);
        TextAppend(status, "\n\n");
        TextAppend(status, r->description);
    }
    SetControlText(p->status, status);
}

void FileProgress(void* context, int percent)
{
    InstallingPage* p = static_cast<InstallingPage*>(context);
    char text[16];
    wsprintfA(text, "%d%%", percent);
    SetControlText(p->percent, text);
    DrawBar(p, percent);
}

// Handles at most one pending message of the page or its controls. A Cancel click that
// is already queued as a command, or Escape (the dialog keyboard's Cancel, which this
// loop does without), is taken here without dispatching it. Enter is not: a user still
// pressing Enter through the wizard must not cancel the copy.
int Step(void* context)
{
    InstallingPage* p = static_cast<InstallingPage*>(context);
    MSG msg;
    if (PeekMessageA(&msg, p->page, 0, 0, PM_REMOVE)) {
        if ((msg.message == WM_COMMAND && msg.wParam == IDC_INSTALL_CANCEL) ||
            (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
            p->cancelled = true;
        } else {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return p->cancelled;
}

void Committing(void* context)
{
    InstallingPage* p = static_cast<InstallingPage*>(context);
    p->phase = Phase::Finishing;
    SetControlText(p->status, kUpdatingRegistry);
    TimedWait(1000);
}

void Install(HWND page, Installation* run)
{
    InstallingPage p = {};
    p.page = page;
    p.status = GetDlgItem(page, IDC_STATUS);
    p.percent = GetDlgItem(page, IDC_PERCENT);
    TextCopy(p.copying, LoadText(IDS_COPYING));
    SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&p));
    UpdateWindow(page);
    // The mouse move that Wine queued for the backdrop when the previous page went away
    // would be looked at, and passed over, by every pending-message step of every file:
    // the backdrop has no use for it, so it goes now.
    MSG stale;
    while (g_backdrop && PeekMessageA(&stale, g_backdrop, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
    p.dc = GetDC(page);
    p.phase = Phase::Copying;
    const InstallObserver observer = {&p, DiskBegins, FileBegins, FileProgress, Step, Committing};
    const Outcome outcome = RunInstallation(run, g_destDir, g_destinationCreated, &observer);
    ReleaseDC(page, p.dc);
    p.phase = Phase::Finishing;
    // An installation that is not whole is not completed: the user learns what failed,
    // and the restart is not offered. After a Cancel the files not reached are no failures.
    if (outcome == Outcome::Failed) {
        char text[kFailedListRoom + kTextRoom];
        FailedListText(&run->failed, text, sizeof text);
        MessageBoxA(page, text, g_caption, MB_ICONWARNING);
    }
    g_pageResult = outcome == Outcome::Done || outcome == Outcome::RestartNeeded ? kResultNext : kResultCancel;
    if (g_pageResult == kResultCancel)
        NotCompletedWarning(page);
    p.phase = Phase::Idle;
    SendMessageA(page, WM_CLOSE, 0, 0);
    SetWindowLongPtrA(page, GWLP_USERDATA, 0);
}

} // namespace

void ProgressBarRect(const RECT* control, int percent, RECT* bar)
{
    *bar = *control;
    InflateRect(bar, -2, -2);
    OffsetRect(bar, -1, -1);
    bar->right = bar->left + percent * (bar->right - bar->left + 1) / 100;
}

void TimedWait(DWORD ms)
{
    // Sleeps until a message arrives or the time is up, then discards what came. Paint
    // requests stay pending (they are not queued messages, and a window is not repainted
    // during the wait); they are left out of the wake-up mask, or a window that needs
    // painting would wake the wait at once, again and again.
    constexpr DWORD kWakeMask = QS_ALLINPUT & ~QS_PAINT;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start; // unsigned: safe across the wrap
        if (elapsed >= ms)
            return;
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
            PeekMessageA(&msg, nullptr, WM_PAINT + 1, 0xFFFFFFFF, PM_REMOVE))
            continue; // discarded
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, kWakeMask);
    }
}

LRESULT CALLBACK InstallPageProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (PageFrameMessage(w, m, PageFrame::Installing))
        return 0;
    InstallingPage* p = PageOf(w);
    switch (m) {
    case WM_COMMAND:
        if (wp != IDC_INSTALL_CANCEL)
            break;
        if (p && p->phase == Phase::Copying)
            p->cancelled = true;
        return 0;
    case WM_CLOSE:
        // The page must outlive its own work: a close request from elsewhere while files
        // are copied stops the copy like Cancel; later it is ignored.
        if (!p || p->phase == Phase::Idle)
            break;
        if (p->phase == Phase::Copying)
            p->cancelled = true;
        return 0;
    case WM_PAGEINIT: {
        // The run the sequence owns; shown without one, the page runs one of its own.
        Installation own;
        Installation* run = reinterpret_cast<Installation*>(lp);
        Install(w, run ? run : &own);
        return 0;
    }
    case WM_ERASEBKGND:
        if (p)
            p->barShown = false; // the erase paints over the bar
        break;
    }
    return DefWindowProcA(w, m, wp, lp);
}
