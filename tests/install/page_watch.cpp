#include "page_watch.h"
#include "pages/pages.h"
#include "res/ids.h"
#include "support/windows.h"

namespace {

PageRun* s_run;
Trigger s_trigger;
HHOOK s_getHook, s_callHook;

RECT ProgressArea(HWND page)
{
    RECT r{};
    HWND control = GetDlgItem(page, IDC_PROGRESS);
    GetClientRect(control, &r);
    MapWindowPoints(control, page, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

const char* ColourName(COLORREF c)
{
    switch (c) {
    case RGB(0, 0, 255): return "blue";
    case RGB(255, 255, 255): return "white";
    case RGB(128, 128, 128): return "grey";
    }
    return "other";
}

int BarEnd(HDC dc, const RECT& r)
{
    int y = (r.top + r.bottom) / 2;
    int end = r.left + 1;
    for (int x = r.left - 1; x <= r.right; ++x)
        if (GetPixel(dc, x, y) == RGB(0, 0, 255))
            end = x + 1;
    return end;
}

// Pixels across the frame and bar: left side (outside, edge, inside), right side
// (inside bar end, grey line, white edge), bottom (bar's last row, white row, grey, white).
std::vector<std::string> BevelProbe(HDC dc, const RECT& r)
{
    int y = r.top + 3, x = r.left + 5;
    const POINT probes[] = {{r.left - 1, y},  {r.left, y},       {r.left + 1, y},   {r.right - 3, y},
                            {r.right - 2, y}, {r.right - 1, y},  {x, r.top - 1},    {x, r.top},
                            {x, r.top + 1},   {x, r.bottom - 4}, {x, r.bottom - 3}, {x, r.bottom - 2},
                            {x, r.bottom - 1}};
    std::vector<std::string> names;
    for (const POINT& p : probes)
        names.push_back(ColourName(GetPixel(dc, p.x, p.y)));
    return names;
}

struct BoxSearch {
    HWND owner;
    HWND box;
};

BOOL CALLBACK MatchBox(HWND w, LPARAM lp)
{
    auto* search = reinterpret_cast<BoxSearch*>(lp);
    char cls[32];
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && GetWindow(w, GW_OWNER) == search->owner) {
        search->box = w;
        return FALSE;
    }
    return TRUE;
}

// A message box owned by the page.
HWND FindBox(HWND page)
{
    BoxSearch search{page, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.box;
}

void Observe(const MSG& msg)
{
    HWND page = FindWindowA("SETUP_INSTALL", nullptr);
    if (!page)
        return;
    Seen now{ItemText(page, IDC_STATUS), ItemText(page, IDC_PERCENT), 0};
    s_run->area = ProgressArea(page);
    HDC dc = GetDC(page);
    now.barEnd = BarEnd(dc, s_run->area);
    if (s_run->bevel.empty() && now.barEnd == s_run->area.right - 2)
        s_run->bevel = BevelProbe(dc, s_run->area);
    ReleaseDC(page, dc);
    if (s_run->seen.empty() || s_run->seen.back().status != now.status ||
        s_run->seen.back().percent != now.percent || s_run->seen.back().barEnd != now.barEnd)
        s_run->seen.push_back(now);
    if (msg.message == WM_LBUTTONUP && msg.hwnd == GetDlgItem(page, IDC_NEXT))
        s_run->cancelledIn = now.status;
    if (HWND box = FindBox(page)) {
        s_run->warning = BoxText(box);
        if (s_run->boxes.empty() || s_run->boxes.back() != s_run->warning)
            s_run->boxes.push_back(s_run->warning);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    if (s_trigger && s_trigger(page, now.status))
        s_trigger = nullptr;
    PostMessageA(page, WM_NULL, 0, 0); // keeps a message waiting for the next step
}

LRESULT CALLBACK OnGetMessage(int code, WPARAM wp, LPARAM lp)
{
    if (code == HC_ACTION && wp == PM_REMOVE)
        Observe(*reinterpret_cast<MSG*>(lp));
    return CallNextHookEx(s_getHook, code, wp, lp);
}

// The first message waiting for the page is posted as the page-init message arrives.
LRESULT CALLBACK OnCallWndProc(int code, WPARAM wp, LPARAM lp)
{
    const CWPSTRUCT* cwp = reinterpret_cast<CWPSTRUCT*>(lp);
    if (code == HC_ACTION && cwp->message == WM_PAGEINIT)
        PostMessageA(cwp->hwnd, WM_NULL, 0, 0);
    return CallNextHookEx(s_callHook, code, wp, lp);
}

} // namespace

PageRun RunInstallPage(Trigger trigger)
{
    PageRun run;
    s_run = &run;
    s_trigger = std::move(trigger);
    s_getHook = SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());
    s_callHook = SetWindowsHookExA(WH_CALLWNDPROC, OnCallWndProc, nullptr, GetCurrentThreadId());
    DWORD start = GetTickCount();
    run.result = RunPage("SETUP_INSTALL", InstallPageProc, IDD_INSTALLING);
    run.elapsed = GetTickCount() - start;
    UnhookWindowsHookEx(s_getHook);
    UnhookWindowsHookEx(s_callHook);
    s_trigger = nullptr;
    s_run = nullptr;
    return run;
}

int BarEndNow(HWND page)
{
    HDC dc = GetDC(page);
    int end = BarEnd(dc, ProgressArea(page));
    ReleaseDC(page, dc);
    return end;
}

void PostCancelClick(HWND page)
{
    HWND button = GetDlgItem(page, IDC_NEXT);
    RECT r;
    GetClientRect(button, &r);
    LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(button, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> PercentSequence(const PageRun& run)
{
    std::vector<std::string> all;
    for (const Seen& s : run.seen)
        if (all.empty() || all.back() != s.percent)
            all.push_back(s.percent);
    return all;
}

bool SawStatus(const PageRun& run, const std::string& status)
{
    for (const Seen& s : run.seen)
        if (s.status == status)
            return true;
    return false;
}
