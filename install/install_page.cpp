// The Installing page: all its work happens inside the page-init message. It creates the
// destination's sub-directories, stages every file of the install plan disk by disk with
// status text, per-disk percentage and progress bar, waits a second, puts the files in
// place and registers the package as one change, names what it could not install (then
// nothing is changed and the installation is not completed) and closes itself. One
// pending message is handled between the steps of each file, so the page stays painted
// and its Cancel button works.
#include "install/install.h"
#include "base/globals.h"
#include "base/text.h"
#include "base/path.h"
#include "gfx/gfx.h"
#include "pages/pages.h"
#include "res/ids.h"
#include "script/plan.h"
#include "base/loadtext.h"
#include "base/format.h"
#include <lzexpand.h>

namespace {

// What the page is doing: a Cancel click or a close request counts only while files are
// being copied; once the registration is under way the page finishes with Next.
enum class Phase { Idle, Copying, Finishing };
Phase s_phase = Phase::Idle;

constexpr char kUpdatingRegistry[] = "Updating Registry...";
constexpr COLORREF kBarColour = RGB(0, 0, 255);

// What the copy engine looks up once instead of for every file: the controls it writes
// to, and for the current disk the progress area and the bar last drawn in it. The bar
// is painted straight onto the page, so an erase of the page's background takes it away;
// until then painting the same bar again would change no pixel.
struct Progress {
    HWND status;    // control 1019
    HWND percent;   // control 1013
    RECT area;      // control 1011 in page client coordinates
    LONG barRight;  // right edge of the bar last drawn
    bool barShown;  // that bar is still on the page
};
Progress s_progress;

// The last installation ended because the user cancelled it (not because of a failure).
int s_cancelledByUser;

// Handles at most one pending message of the page or its controls. A Cancel click that
// is already queued as a command, and Escape, are taken here without dispatching them;
// Enter is not: button 1 is Cancel here, and Enter pressed on through the wizard must not
// stop the copy.
void PendingMessageStep(HWND page)
{
    MSG msg;
    if (!PeekMessageA(&msg, page, 0, 0, PM_REMOVE))
        return;
    if ((msg.message == WM_COMMAND && msg.wParam == IDC_INSTALL_CANCEL) ||
        (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
        g_pageResult = kResultCancel;
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
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

} // namespace

// A directory whose path does not fit is not created: a cut path would be some other
// directory.
int CreateSubDirectories(const char* dest)
{
    if (!dest)
        dest = g_destDir;
    int created = 0;
    for (int key = 0; key < kDirKeyCount; ++key) {
        const char* name = g_dirNames[key];
        if (!DirKeyIsSubDirectory(key) || !name[0])
            continue;
        char path[MAX_PATH];
        if (TextCopy(path, dest) && PathAppend(path, name) && CreateDirectoryA(path, nullptr))
            created |= 1 << key;
    }
    return created;
}

namespace {

void DrawBar(HDC dc, int percent)
{
    RECT bar;
    ProgressBarRect(&s_progress.area, percent, &bar);
    if (s_progress.barShown && bar.right == s_progress.barRight)
        return;
    HBRUSH brush = CreateSolidBrush(kBarColour);
    FillRect(dc, &bar, brush);
    DeleteObject(brush);
    s_progress.barRight = bar.right;
    s_progress.barShown = true;
}

void CopyOneFile(HWND page, HDC dc, const char* copying, int disk, int index, int count)
{
    const FileRecord* rec = PlanRecord(disk, index);
    char status[kTextRoom];
    TextCopy(status, copying);
    if (rec) {
        TextAppend(status, rec->sourceName);
        TextAppend(status, "\n\n");
        TextAppend(status, rec->description);
    }
    SetControlText(s_progress.status, status);

    int sourceFailure;
    HFILE source = OpenRecordSource(disk, index, &sourceFailure);
    PendingMessageStep(page);

    int percent = DiskPercent(index, count);
    char text[16];
    wsprintfA(text, "%d%%", percent);
    SetControlText(s_progress.percent, text);
    DrawBar(dc, percent);

    StageRecord(disk, index, source, sourceFailure);
    PendingMessageStep(page);
}

void CopyEngine(HWND page)
{
    HDC dc = GetDC(page);
    char copying[kTextRoom];
    TextCopy(copying, LoadText(IDS_COPYING));
    s_progress.status = GetDlgItem(page, IDC_STATUS);
    s_progress.percent = GetDlgItem(page, IDC_PERCENT);
    // The mouse move that Wine queued for the backdrop when the previous page went away
    // would be looked at, and passed over, by every pending-message step of every file:
    // the backdrop has no use for it, so it goes now.
    MSG stale;
    while (g_backdrop && PeekMessageA(&stale, g_backdrop, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
    for (int disk = 0; disk < g_diskCount && disk < kMaxDisks && g_pageResult != kResultCancel; ++disk) {
        UpdateWindow(page);
        BevelBox(page, dc, IDC_PROGRESS, 0); // white: clears the previous disk's bar
        ControlRect(page, IDC_PROGRESS, &s_progress.area);
        s_progress.barShown = false;
        int count = g_fileCounts[disk];
        for (int i = 0; i < count && g_pageResult != kResultCancel; ++i)
            CopyOneFile(page, dc, copying, disk, i, count);
    }
    s_phase = Phase::Finishing;
    ReleaseDC(page, dc);
}

void Install(HWND page)
{
    UpdateWindow(page);
    g_pageResult = kResultNext;
    ClearFailedFiles();
    BeginInstallation(g_destinationCreated);
    s_phase = Phase::Copying;
    CopyEngine(page);
    // Only a whole installation changes anything: after a Cancel, or when a file could
    // not be staged, everything goes back as it was and nothing is registered.
    s_cancelledByUser = g_pageResult == kResultCancel;
    if (g_pageResult != kResultCancel && !FailedFileCount()) {
        SetControlText(s_progress.status, kUpdatingRegistry);
        TimedWait(1000);
        CommitInstallation();
    } else {
        AbandonInstallation();
    }
    // An installation that is not whole is not completed: the user learns what failed,
    // and the restart is not offered. After a Cancel the files not reached are no failures.
    if (g_pageResult != kResultCancel && FailedFileCount()) {
        FailedFilesWarning(page);
        g_pageResult = kResultCancel;
    }
    if (g_pageResult == kResultCancel)
        NotCompletedWarning(page);
    s_phase = Phase::Idle;
    SendMessageA(page, WM_CLOSE, 0, 0);
}

} // namespace

int InstallCancelledByUser()
{
    return s_cancelledByUser;
}

int DiskPercent(int index, int count)
{
    if (count <= 0)
        return 0;
    return 100 * (index + 1) / count; // 32-bit: no overflow for any 16-bit count
}

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
    switch (m) {
    case WM_COMMAND:
        if (wp != IDC_INSTALL_CANCEL)
            break;
        if (s_phase == Phase::Copying)
            g_pageResult = kResultCancel;
        return 0;
    case WM_CLOSE:
        // The page must outlive its own work: a close request from elsewhere while files
        // are copied stops the copy like Cancel; later it is ignored.
        if (s_phase == Phase::Idle)
            break;
        if (s_phase == Phase::Copying)
            g_pageResult = kResultCancel;
        return 0;
    case WM_PAGEINIT:
        Install(w);
        return 0;
    case WM_ERASEBKGND:
        s_progress.barShown = false; // the erase paints over the bar
        break;
    }
    return DefWindowProcA(w, m, wp, lp);
}
