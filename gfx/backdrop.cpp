// The full-screen backdrop: a topmost window that paints the blue gradient, the
// shadowed title, the footer banner and LOGO.BMP, behind every page of the wizard.
#include "gfx/gfx.h"
#include "base/globals.h"
#include "base/text.h"
#include "base/path.h"
#include "res/ids.h"

// Process-wide: the backdrop's window procedure has no other state of its own.
int g_backdropFirstPaint = 1;

namespace {

constexpr char kClassName[] = "SetupMain";
// Created with the backdrop window, used by its window procedure, deleted with it.
HFONT s_titleFont;

// Layout in client coordinates; the bottom and right ones follow the screen size.
constexpr RECT kTitleShadow{30, 20, 600, 60};
constexpr RECT kTitle{25, 15, 600, 60};
inline RECT BannerArea(int h) { return RECT{20, h - 60, 600, h - 10}; }
inline RECT LogoArea(int w) { return RECT{w - 200, 10, w, 60}; }

void PaintGradient(HDC dc, int width, int height)
{
    for (int i = 0; i < kGradientBands; ++i) {
        short top, bottom;
        GradientBand(height, i, &top, &bottom);
        RECT band{0, top, width, bottom};
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255 - i));
        if (brush) {
            FillRect(dc, &band, brush);
            DeleteObject(brush);
        }
    }
}

void PaintTitle(HDC dc)
{
    HGDIOBJ oldFont = s_titleFont ? SelectObject(dc, s_titleFont) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    const int length = lstrlenA(g_titleText);
    RECT shadow = kTitleShadow, title = kTitle;
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, g_titleText, length, &shadow, DT_SINGLELINE | DT_VCENTER);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, g_titleText, length, &title, DT_SINGLELINE | DT_VCENTER);
    if (oldFont)
        SelectObject(dc, oldFont);
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        const int w = g_screenWidth, h = g_screenHeight;
        PaintGradient(dc, w, h);
        PaintTitle(dc);
        RECT meet;
        const RECT banner = BannerArea(h);
        if (!g_options[kOptLogoHidden] && IntersectRect(&meet, &banner, &ps.rcPaint))
            KeyedBlit(dc, IDB_FOOTER, &banner, g_backdropFirstPaint);
        const RECT logo = LogoArea(w);
        char path[kTextRoom];
        if (IntersectRect(&meet, &logo, &ps.rcPaint) && TextCopy(path, g_programDir) && PathAppend(path, "LOGO.BMP"))
            ShowPictureFile(dc, path, logo.left, logo.top, logo.right, logo.bottom);
    }
    // Only the first paint dissolves the banner, whether or not it drew it.
    g_backdropFirstPaint = 0;
    EndPaint(window, &ps);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    switch (message) {
    case WM_CREATE:
        SetWindowPos(window, HWND_TOPMOST, 0, 0, g_screenWidth, g_screenHeight, SWP_SHOWWINDOW);
        s_titleFont = CreateFontA(-36, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  VARIABLE_PITCH | FF_SWISS, "Times New Roman");
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_CLOSE:
        // The backdrop owns every page: closing it would take the shown page with it while
        // the page sequence goes on. Only the program ends it, with DestroyWindow.
        return 0;
    case WM_DESTROY:
        if (s_titleFont)
            DeleteObject(s_titleFont);
        s_titleFont = nullptr;
        if (g_backdrop == window)
            g_backdrop = nullptr;
        return 0;
    }
    return DefWindowProcA(window, message, wp, lp);
}

} // namespace

void GradientBand(int height, int band, short* top, short* bottom)
{
    // The band height is rounded to single precision (volatile forces the store, so the
    // x87's wider registers cannot keep extra bits); the band edges are then exact
    // products truncated. Slightly above 1/255, this makes band 254 end at `height`.
    volatile float step = 0x1.010102p-8f; // 1/255 in single precision: bits 0x3B808081
    volatile float b = (float)height * step;
    const double bandHeight = b;
    *top = (short)(int)(band * bandHeight);
    *bottom = (short)(int)((band + 1) * bandHeight);
}

int CreateBackdrop()
{
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BackdropProc;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc); // fails harmlessly when already registered
    g_backdrop = CreateWindowExA(0, kClassName, "Setup", WS_POPUP | WS_VISIBLE | WS_BORDER,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 nullptr, nullptr, g_instance, nullptr);
    if (!g_backdrop)
        return 0;
    // Run the first paint, dissolve included, before any page appears.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}
