// The backdrop's gradient arithmetic, and the real window on the Xvfb screen.
#include "gfx/gfx.h"
#include "pages/pages.h"
#include "base/globals.h"
#include "base/text.h"
#include "gfx_util.h"
#include "support/files.h"
#include "support/windows.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>

namespace {

struct Band {
    short top, bottom;
};

Band BandOf(int height, int i)
{
    Band b;
    GradientBand(height, i, &b.top, &b.bottom);
    return b;
}

// Band whose rows hold row y.
int BandAt(int height, int y)
{
    for (int i = 0; i < kGradientBands; ++i) {
        Band b = BandOf(height, i);
        if (y >= b.top && y < b.bottom)
            return i;
    }
    return -1;
}

} // namespace

TEST(Gradient, BandsOf768And480Rows)
{
    EXPECT_EQ(0, BandOf(768, 0).top);
    EXPECT_EQ(3, BandOf(768, 0).bottom);
    EXPECT_EQ(3, BandOf(768, 1).top);
    EXPECT_EQ(6, BandOf(768, 1).bottom);
    EXPECT_EQ(764, BandOf(768, 254).top);
    EXPECT_EQ(768, BandOf(768, 254).bottom);
    EXPECT_EQ(0, BandOf(480, 0).top);
    EXPECT_EQ(1, BandOf(480, 0).bottom);
    EXPECT_EQ(1, BandOf(480, 1).top);
    EXPECT_EQ(3, BandOf(480, 1).bottom);
    EXPECT_EQ(478, BandOf(480, 254).top);
    EXPECT_EQ(480, BandOf(480, 254).bottom);
}

TEST(Gradient, BandsTileEveryHeightExactlyDownToTheLastRow)
{
    // Among them 33, 37 and 41, where 1/255 in double precision leaves the last row bare.
    for (int h = 1; h <= 4096; ++h) {
        for (int i = 0; i < kGradientBands; ++i) {
            const Band b = BandOf(h, i);
            ASSERT_LE(b.top, b.bottom) << h << " band " << i;
            if (i > 0)
                ASSERT_EQ(BandOf(h, i - 1).bottom, b.top) << h << " band " << i;
        }
        ASSERT_EQ(h, BandOf(h, 254).bottom) << h;
    }
    // Below 255 rows some bands are empty.
    int empty = 0;
    for (int i = 0; i < kGradientBands; ++i)
        empty += BandOf(200, i).top == BandOf(200, i).bottom;
    EXPECT_EQ(55, empty);
}

namespace {

// The whole screen as drawn, read back through the screen's device context.
struct Screen : Surface {
    Screen() : Surface(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), RGB(1, 2, 3))
    {
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    // The backdrop's client area starts inside its one-pixel border.
    COLORREF Client(int x, int y) const { return At(x + 1, y + 1); }
};

COLORREF GradientAt(int y) { return RGB(0, 0, 255 - BandAt(g_screenHeight, y)); }

// Logo of the test: 180 x 40, red on the left half, green on the right, a yellow corner.
constexpr int kLogoWidth = 180, kLogoHeight = 40;
uint32_t LogoPixel(int x, int y)
{
    if (x < 4 && y < 4)
        return 0xFFFF00;
    return x < kLogoWidth / 2 ? 0xC81E28 : 0x1EC828;
}

class Backdrop : public ::testing::Test {
protected:
    ScratchDir dir;
    void SetUp() override
    {
        g_screenWidth = (short)GetSystemMetrics(SM_CXSCREEN);
        g_screenHeight = (short)GetSystemMetrics(SM_CYSCREEN);
        TextCopy(g_programDir, dir.path.c_str());
        TextCopy(g_titleText, "Velan Wheel Mouse Setup");
        g_backdropFirstPaint = 1;
        g_options[kOptLogoHidden] = 0;
        ASSERT_TRUE(WriteFileText(dir / "LOGO.BMP", MakeBmp(kLogoWidth, kLogoHeight, 24, {}, LogoPixel)));
    }
    void TearDown() override
    {
        if (g_backdrop)
            DestroyWindow(g_backdrop);
        g_options[kOptLogoHidden] = 0;
    }
    // Creates the backdrop and waits until the screen shows it and has stopped changing:
    // the window's drawing reaches the X screen only when Wine flushes it, which a loaded
    // machine does later.
    void Show()
    {
        ASSERT_EQ(1, CreateBackdrop());
        ASSERT_NE(nullptr, g_backdrop);
        const int y = g_screenHeight - 3;
        std::unique_ptr<Screen> last;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 60000;) {
            Pump(50);
            auto now = std::make_unique<Screen>();
            if (last && now->Same(*last) && now->Client(700, y) == GradientAt(y))
                return;
            last = std::move(now);
        }
        ADD_FAILURE() << "the screen never settled on the backdrop";
    }
};

} // namespace

TEST_F(Backdrop, CoversTheScreenTopmostAndPaintsEverything)
{
    Show();
    RECT w;
    GetWindowRect(g_backdrop, &w);
    EXPECT_EQ(0, w.left);
    EXPECT_EQ(0, w.top);
    EXPECT_EQ(g_screenWidth, w.right);
    EXPECT_EQ(g_screenHeight, w.bottom);
    EXPECT_TRUE(GetWindowLongA(g_backdrop, GWL_EXSTYLE) & WS_EX_TOPMOST);
    char name[32];
    GetClassNameA(g_backdrop, name, sizeof name);
    EXPECT_STREQ("SetupMain", name);
    EXPECT_EQ(0, g_backdropFirstPaint);

    const Screen screen;
    const int W = g_screenWidth, H = g_screenHeight;
    // Bands at sampled rows, in a column clear of everything else.
    for (int y : {0, 1, 2, 3, 5, 6, 100, 383, 384, 500, 700, 763, 764, H - 3})
        EXPECT_EQ(GradientAt(y), screen.Client(700, y)) << "row " << y;
    // Title: white letters with black shadow pixels near them.
    int white = 0, black = 0;
    for (int y = 15; y < 60; ++y)
        for (int x = 25; x < 600; ++x) {
            white += screen.Client(x, y) == RGB(255, 255, 255);
            black += screen.Client(x, y) == RGB(0, 0, 0);
        }
    EXPECT_GT(white, 200);
    EXPECT_GT(black, 200);
    // Banner at (20, H - 60): lettering, and no key colour anywhere in its area.
    int lettering = 0, key = 0, bare = 0;
    for (int y = H - 60; y < H - 60 + 43; ++y)
        for (int x = 20; x < 20 + 490; ++x) {
            const COLORREF c = screen.Client(x, y);
            key += c == kKeyColour;
            lettering += c == RGB(255, 255, 255);
            bare += c == GradientAt(y);
        }
    EXPECT_EQ(0, key);
    EXPECT_GT(lettering, 1000);
    EXPECT_GT(bare, 490 * 43 / 2); // the key colour lets most of the gradient through
    // Logo centred in (W - 200, 10, W, 60).
    const int lx = W - 200 + (200 - kLogoWidth) / 2, ly = 10 + (50 - kLogoHeight) / 2;
    EXPECT_EQ(RGB(255, 255, 0), screen.Client(lx, ly));
    EXPECT_EQ(RGB(255, 255, 0), screen.Client(lx + 3, ly + 3));
    EXPECT_EQ(RGB(0xC8, 0x1E, 0x28), screen.Client(lx + 4, ly + 20));
    EXPECT_EQ(RGB(0x1E, 0xC8, 0x28), screen.Client(lx + kLogoWidth - 1, ly + kLogoHeight - 1));
    EXPECT_EQ(GradientAt(ly), screen.Client(lx - 1, ly));
    EXPECT_EQ(GradientAt(ly - 1), screen.Client(lx, ly - 1));
    EXPECT_EQ(GradientAt(ly + kLogoHeight), screen.Client(lx, ly + kLogoHeight));

    // For a look by hand: GFX_HOLD_MS keeps the backdrop up that long.
    if (const char* hold = getenv("GFX_HOLD_MS"))
        Pump((DWORD)atoi(hold));
}

TEST_F(Backdrop, OemLeavesOutTheBannerAndStillEndsTheFirstPaint)
{
    g_options[kOptLogoHidden] = 1;
    Show();
    EXPECT_EQ(0, g_backdropFirstPaint);
    const Screen screen;
    const int H = g_screenHeight;
    for (int y = H - 60; y < H - 60 + 43; ++y)
        for (int x = 20; x < 20 + 490; ++x)
            ASSERT_EQ(GradientAt(y), screen.Client(x, y)) << x << "," << y;
}

TEST_F(Backdrop, WithoutLogoTheCornerShowsTheGradient)
{
    DeleteFileA((dir / "LOGO.BMP").c_str());
    Show();
    const Screen screen;
    const int W = g_screenWidth;
    for (int y = 10; y < 60; ++y)
        for (int x = W - 200; x < W - 2; ++x)
            ASSERT_EQ(GradientAt(y), screen.Client(x, y)) << x << "," << y;
}

TEST_F(Backdrop, RefusesCloseRequestsAndEndsOnlyWhenDestroyed)
{
    Show();
    HWND window = g_backdrop;
    SendMessageA(window, WM_CLOSE, 0, 0);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(0, SendMessageA(window, WM_PAGEINIT, 0, 0));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, g_backdrop);
    // A second backdrop after the first: the class is registered already.
    Show();
}
