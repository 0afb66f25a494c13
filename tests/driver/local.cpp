// Windows of the test process itself: the keep-alive window, a stand-in for the resident
// mouse utility, a dialog measured for comparison, and screenshots.
#include "driver.h"

namespace {

LRESULT CALLBACK UtilityProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_CLOSE) {
        auto* u = (UtilityWindow*)GetWindowLongPtrA(w, GWLP_USERDATA);
        if (u) {
            ++u->closes;
            if (FindWindowA("SETUP_INSTALL", nullptr))
                ++u->installPageSeen;
        }
        return 0;   // stays, so that a second request would be counted too
    }
    return DefWindowProcA(w, m, wp, lp);
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void PutWide(std::vector<WORD>* t, const wchar_t* s)
{
    do
        t->push_back((WORD)*s);
    while (*s++);
}

} // namespace

void KeepDesktop()
{
    static HWND keep;
    if (keep)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "E2EKeepDesktop";
    RegisterClassA(&wc);
    keep = CreateWindowExA(0, wc.lpszClassName, "e2e", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                           nullptr);
}

int CreateUtilityWindow(UtilityWindow* u, const char* title)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = UtilityProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "E2EUtility";
    RegisterClassA(&wc);
    u->closes = 0;
    u->installPageSeen = 0;
    u->hwnd = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              wc.hInstance, nullptr);
    if (!u->hwnd)
        return 0;
    SetWindowLongPtrA(u->hwnd, GWLP_USERDATA, (LONG_PTR)u);
    return 1;
}

void DestroyUtilityWindow(UtilityWindow* u)
{
    if (u->hwnd) {
        SetWindowLongPtrA(u->hwnd, GWLP_USERDATA, 0);
        DestroyWindow(u->hwnd);
    }
    u->hwnd = nullptr;
}

SIZE TemplateWindowSize(short cx, short cy)
{
    // DLGTEMPLATE, then menu, class, title, point size and face name, WORD-aligned.
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD) + 1);
    auto* dt = (DLGTEMPLATE*)t.data();
    dt->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    dt->cx = cx;
    dt->cy = cy;
    t.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
    t.push_back(0);   // no menu
    t.push_back(0);   // predefined dialog class
    PutWide(&t, L"Setup");
    t.push_back(8);
    PutWide(&t, L"Arial");
    SIZE size = {};
    HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), (const DLGTEMPLATE*)t.data(), nullptr,
                                          NoDialogProc, 0);
    if (!dlg)
        return size;
    RECT rc;
    GetWindowRect(dlg, &rc);
    DestroyWindow(dlg);
    size.cx = rc.right - rc.left;
    size.cy = rc.bottom - rc.top;
    return size;
}

int SaveScreenshot(const char* path)
{
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER bi = {};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;   // bottom-up, as a BMP file stores its rows
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, (BITMAPINFO*)&bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    int ok = 0;
    if (mem && dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        SelectObject(mem, old);
    }
    if (ok) {
        DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
        BITMAPFILEHEADER bf = {};
        bf.bfType = 0x4D42;   // "BM"
        bf.bfOffBits = sizeof bf + sizeof bi;
        bf.bfSize = bf.bfOffBits + stride * h;
        std::string data((const char*)&bf, sizeof bf);
        data.append((const char*)&bi, sizeof bi);
        data.append((const char*)bits, stride * h);
        ok = WriteFileText(path, data);
    }
    if (dib)
        DeleteObject(dib);
    if (mem)
        DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

void MaybeScreenshot(const char* name)
{
    char dir[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("E2E_SCREENSHOTS", dir, sizeof dir);
    if (!n || n >= sizeof dir)
        return;
    std::string folder = dir[0] == '/' ? DosPath(dir) : std::string(dir);
    MakeDirs(folder.c_str());
    SaveScreenshot((folder + "\\" + name + ".bmp").c_str());
}
