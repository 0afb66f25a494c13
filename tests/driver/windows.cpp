// Finding setup.exe's windows and working their controls through the messages a user's
// clicks and keys produce. Messages that may open a modal box or end a page are posted;
// the others are sent with a timeout so a hung setup.exe cannot hang the test.
#include "driver.h"
#include "res/ids.h"

namespace {

// Long enough for a loaded machine; a hung setup.exe still cannot hang the test.
const DWORD kSendTimeout = 20000;

struct Search {
    DWORD pid;
    const char* cls;
    const char* caption;
    HWND owner;
    bool anyOwner;
    bool visibleOnly;
    int needItem;      // a child control the window must have, 0 for none
    HWND found;
};

BOOL CALLBACK SearchProc(HWND w, LPARAM lp)
{
    auto* s = (Search*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid || (s->visibleOnly && !IsWindowVisible(w)))
        return TRUE;
    char cls[64];
    if (!GetClassNameA(w, cls, sizeof cls) || lstrcmpiA(cls, s->cls))
        return TRUE;
    if (!s->anyOwner && GetWindow(w, GW_OWNER) != s->owner)
        return TRUE;
    if (s->needItem && !GetDlgItem(w, s->needItem))
        return TRUE;
    if (s->caption && Text(w) != s->caption)
        return TRUE;
    s->found = w;
    return FALSE;
}

HWND Find(const SetupRun& run, const char* cls, const char* caption, HWND owner, bool anyOwner, int needItem,
          bool visibleOnly = true)
{
    Search s{run.pi.dwProcessId, cls, caption, owner, anyOwner, visibleOnly, needItem, nullptr};
    EnumWindows(SearchProc, (LPARAM)&s);
    return s.found;
}

HWND WaitFor(const SetupRun& run, const char* cls, const char* caption, HWND owner, bool anyOwner, int needItem,
             DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = Find(run, cls, caption, owner, anyOwner, needItem);
        if (w && Settle(w))
            return w;
        if (GetTickCount() - start >= timeoutMs || !SetupRunning(&run))
            return nullptr;
        Pump(10);
    }
}

} // namespace

int Settle(HWND w)
{
    // A message sent from another thread is handled only when the window's thread asks
    // for messages, so a round trip means it has finished what it was doing; the second
    // one, a little later, covers a thread that took a sent message while still busy.
    DWORD_PTR r;
    for (int i = 0; i < 2; ++i) {
        if (!SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kSendTimeout, &r))
            return 0;
        if (!i)
            Pump(20);
    }
    return IsWindow(w);
}

HWND WaitWindow(const SetupRun& run, const char* cls, const char* caption, DWORD timeoutMs)
{
    return WaitFor(run, cls, caption, nullptr, true, 0, timeoutMs);
}

HWND WaitPage(const SetupRun& run, const char* cls, DWORD timeoutMs)
{
    return WaitFor(run, cls, nullptr, nullptr, true, 0, timeoutMs);
}

HWND FindRunWindow(const SetupRun& run, const char* cls)
{
    return Find(run, cls, nullptr, nullptr, true, 0, false);
}

int WaitGone(HWND w, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (IsWindow(w)) {
        if (GetTickCount() - start >= timeoutMs)
            return 0;
        Pump(10);
    }
    return 1;
}

int SetItemText(HWND dlg, int id, const char* text)
{
    HWND c = GetDlgItem(dlg, id);
    DWORD_PTR r = 0;
    return c && SendMessageTimeoutA(c, WM_SETTEXT, 0, (LPARAM)text, SMTO_NORMAL, kSendTimeout, &r) && r;
}

RECT Rect(HWND w)
{
    RECT rc = {};
    GetWindowRect(w, &rc);
    return rc;
}

int Press(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    return c && PostMessageA(c, BM_CLICK, 0, 0);
}

int PressAndLeave(HWND page, int id, DWORD timeoutMs)
{
    return Press(page, id) && WaitGone(page, timeoutMs);
}

int Click(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    DWORD_PTR r;
    return c && SendMessageTimeoutA(c, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeout, &r);
}

int Checked(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    DWORD_PTR r = 0;
    if (!c || !SendMessageTimeoutA(c, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeout, &r))
        return -1;
    return (int)r;
}

HWND FocusOf(HWND w)
{
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gti))
        return nullptr;
    return gti.hwndFocus;
}

namespace {

// Posts a key message to `target`, again until it is taken. On a loaded machine Wine
// refused such a post now and then (PostMessageA gave 0 for a window that existed);
// each refusal is written to stderr with its error for a look.
int PostKeyMessage(HWND target, UINT m, WPARAM vk, LPARAM flags)
{
    for (DWORD start = GetTickCount();; Pump(20)) {
        if (PostMessageA(target, m, vk, flags))
            return 1;
        char note[128];
        wsprintfA(note, "driver: key message %04X to window %p refused, error %lu\n", m, (void*)target,
                  GetLastError());
        DWORD done;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), note, lstrlenA(note), &done, nullptr);
        if (!IsWindow(target) || GetTickCount() - start >= kWaitLimit)
            return 0;
    }
}

} // namespace

int Key(HWND w, UINT vk)
{
    HWND target = FocusOf(w);
    if (!target)
        target = w;
    LPARAM scan = (LPARAM)MapVirtualKeyA(vk, 0) << 16;
    return PostKeyMessage(target, WM_KEYDOWN, vk, scan | 1) &&
           PostKeyMessage(target, WM_KEYUP, vk, scan | 1 | 0xC0000000);
}

int AltKey(HWND w, UINT vk)
{
    HWND target = FocusOf(w);
    if (!target)
        target = w;
    // Bit 29: the Alt key is held, as the keyboard driver reports it.
    LPARAM flags = (LPARAM)MapVirtualKeyA(vk, 0) << 16 | 1 | KF_ALTDOWN << 16;
    return PostKeyMessage(target, WM_SYSKEYDOWN, vk, flags) &&
           PostKeyMessage(target, WM_SYSKEYUP, vk, flags | 0xC0000000);
}

int RealKey(UINT vk, UINT modifier)
{
    INPUT in[4] = {};
    UINT n = 0;
    auto add = [&](UINT key, DWORD flags) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = (WORD)key;
        in[n].ki.wScan = (WORD)MapVirtualKeyA(key, 0);
        in[n++].ki.dwFlags = flags;
    };
    if (modifier)
        add(modifier, 0);
    add(vk, 0);
    add(vk, KEYEVENTF_KEYUP);
    if (modifier)
        add(modifier, KEYEVENTF_KEYUP);
    return SendInput(n, in, sizeof(INPUT)) == n;
}

int TypeText(const char* text)
{
    for (; *text; ++text) {
        INPUT in[2] = {};
        for (int i = 0; i < 2; ++i) {
            in[i].type = INPUT_KEYBOARD;
            in[i].ki.wScan = (WORD)(unsigned char)*text;
            in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
        }
        if (SendInput(2, in, sizeof(INPUT)) != 2)
            return 0;
    }
    return 1;
}

int WaitFocusId(HWND page, int id)
{
    int now = -1;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3000; Pump(20)) {
        HWND focus = FocusOf(page);
        now = focus == page ? 0 : focus && IsChild(page, focus) ? GetDlgCtrlID(focus) : -1;
        if (now == id)
            break;
    }
    return now;
}

int DefaultButtonId(HWND page)
{
    for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassOf(c) == "Button" && (GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(c);
    return 0;
}

HWND WaitBox(const SetupRun& run, HWND owner, DWORD timeoutMs)
{
    return WaitFor(run, "#32770", nullptr, owner, false, 0, timeoutMs);
}

int PressOk(HWND box)
{
    return Press(box, IDOK) && WaitGone(box);
}

HWND WaitBrowse(const SetupRun& run, HWND page, DWORD timeoutMs)
{
    return WaitFor(run, "#32770", nullptr, page, false, 1121, timeoutMs);
}

std::vector<std::string> ListItems(HWND dlg, int id)
{
    std::vector<std::string> items;
    HWND c = GetDlgItem(dlg, id);
    if (!c)
        return items;
    bool combo = ClassOf(c) == "ComboBox";
    UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
    UINT len = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT get = combo ? CB_GETLBTEXT : LB_GETTEXT;
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(c, count, 0, 0, SMTO_NORMAL, kSendTimeout, &n))
        return items;
    // Wide messages: Wine hands an ANSI LB_GETTEXT of another process back in its wide
    // form, and writes more than LB_GETTEXTLEN promised.
    for (DWORD_PTR i = 0; i < n && (LONG_PTR)n > 0; ++i) {
        DWORD_PTR l = 0;
        WCHAR wide[1024] = {};
        std::string s;
        if (SendMessageTimeoutW(c, len, i, 0, SMTO_NORMAL, kSendTimeout, &l) && (LONG_PTR)l >= 0 && l < 1000 &&
            SendMessageTimeoutW(c, get, i, (LPARAM)wide, SMTO_NORMAL, kSendTimeout, &l)) {
            char narrow[2048];
            if (WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr))
                s = narrow;
        }
        items.push_back(s);
    }
    return items;
}

int DoubleClickDir(HWND browse, const char* entry)
{
    const int kDirList = IDC_OFN_DIRLIST;
    std::vector<std::string> items = ListItems(browse, kDirList);
    for (size_t i = 0; i < items.size(); ++i) {
        if (lstrcmpiA(items[i].c_str(), entry))
            continue;
        HWND list = GetDlgItem(browse, kDirList);
        DWORD_PTR r;
        SendMessageTimeoutA(list, LB_SETCURSEL, i, 0, SMTO_NORMAL, kSendTimeout, &r);
        return PostMessageA(browse, WM_COMMAND, MAKEWPARAM(kDirList, LBN_DBLCLK), (LPARAM)list);
    }
    return 0;
}

int SelectDrive(HWND browse, char letter)
{
    const int kDrives = IDC_OFN_DRIVES;
    const char want[] = {'-', (char)(letter | 0x20), '-', '\0'};   // entries read "[-c-]"
    std::vector<std::string> items = ListItems(browse, kDrives);
    for (size_t i = 0; i < items.size(); ++i) {
        std::string lower = items[i];
        CharLowerA(&lower[0]);
        if (lower.find(want) == std::string::npos)
            continue;
        HWND combo = GetDlgItem(browse, kDrives);
        DWORD_PTR r;
        SendMessageTimeoutA(combo, CB_SETCURSEL, i, 0, SMTO_NORMAL, kSendTimeout, &r);
        return PostMessageA(browse, WM_COMMAND, MAKEWPARAM(kDrives, CBN_SELCHANGE), (LPARAM)combo);
    }
    return 0;
}

int EndBrowse(HWND browse, int id)
{
    return Press(browse, id) && WaitGone(browse);
}
