// The bevel box and the control rectangle on a real window with bordered controls.
#include "gfx/gfx.h"
#include "gfx_util.h"
#include <gtest/gtest.h>

namespace {

constexpr COLORREF kGround = RGB(1, 2, 3);
constexpr COLORREF kWhite = RGB(255, 255, 255), kGrey = RGB(128, 128, 128);
constexpr int kBordered = 1011, kSunken = 1012;

// A hidden page-like window with two controls at (30, 40), 100 x 20: one with a thin
// border, one with a sunken client edge.
struct Page {
    HWND window;
    Page()
    {
        window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_BORDER, 100, 80, 200, 150,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 30, 40, 100, 20, window,
                        (HMENU)(INT_PTR)kBordered, GetModuleHandleA(nullptr), nullptr);
        CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 30, 90, 100, 20, window,
                        (HMENU)(INT_PTR)kSunken, GetModuleHandleA(nullptr), nullptr);
    }
    ~Page() { DestroyWindow(window); }
};

} // namespace

TEST(ControlRect, IsTheClientAreaInsideTheBorderInParentCoordinates)
{
    Page page;
    RECT r;
    ControlRect(page.window, kBordered, &r);
    EXPECT_EQ(31, r.left);
    EXPECT_EQ(41, r.top);
    EXPECT_EQ(129, r.right);
    EXPECT_EQ(59, r.bottom);
    ControlRect(page.window, kSunken, &r);
    EXPECT_EQ(32, r.left);
    EXPECT_EQ(92, r.top);
    EXPECT_EQ(128, r.right);
    EXPECT_EQ(108, r.bottom);
    ControlRect(page.window, 4242, &r);
    EXPECT_TRUE(IsRectEmpty(&r));
}

TEST(BevelBox, EtchedFrameRoundTheClientAreaFilledByTheBrushCode)
{
    Page page;
    // The bordered control's client area R is (31, 41, 129, 59).
    const int l = 31, t = 41, r = 129, b = 59;
    for (short code : {0, 105}) {
        SCOPED_TRACE(code);
        const COLORREF fill = code == 0 ? kWhite : RGB(128, 0, 0);
        Surface s(200, 150, kGround);
        BevelBox(page.window, s.dc, kBordered, code);
        for (int x = l - 1; x <= r - 2; ++x) {
            ASSERT_EQ(kGrey, s.At(x, t - 1)) << x;   // grey line above R
            ASSERT_EQ(kGrey, s.At(x, b - 2)) << x;   // grey line inside the bottom row
        }
        for (int y = t - 1; y <= b - 2; ++y) {
            ASSERT_EQ(kGrey, s.At(l - 1, y)) << y;   // grey line left of R
            ASSERT_EQ(kGrey, s.At(r - 2, y)) << y;   // grey line inside the right column
        }
        for (int x = l; x <= r - 3; ++x)
            ASSERT_EQ(kWhite, s.At(x, t)) << x;      // white on R's top row
        for (int x = l; x <= r - 1; ++x)
            ASSERT_EQ(kWhite, s.At(x, b - 1)) << x;  // white on R's bottom row
        for (int y = t; y <= b - 3; ++y)
            ASSERT_EQ(kWhite, s.At(l, y)) << y;      // white on R's left column
        for (int y = t; y <= b - 1; ++y)
            ASSERT_EQ(kWhite, s.At(r - 1, y)) << y;  // white on R's right column
        for (int y = t + 1; y <= b - 3; ++y)
            for (int x = l + 1; x <= r - 3; ++x)
                ASSERT_EQ(fill, s.At(x, y)) << x << "," << y;
        // Nothing else: 98 x 18 area, frame one pixel out at top and left.
        const int covered = (r - l + 1) * (b - t + 1) - 2;
        EXPECT_EQ(200 * 150 - covered, s.Count(kGround));
    }
}

TEST(BevelBox, LeavesTheDeviceContextsPenAndBrush)
{
    Page page;
    for (short code : {0, 101, 6 /* a stock pen, not a brush */, 13 /* a font */, 99}) {
        Surface s(200, 150, kGround);
        HGDIOBJ pen = GetCurrentObject(s.dc, OBJ_PEN), brush = GetCurrentObject(s.dc, OBJ_BRUSH);
        HGDIOBJ font = GetCurrentObject(s.dc, OBJ_FONT);
        BevelBox(page.window, s.dc, kBordered, code);
        EXPECT_EQ(pen, GetCurrentObject(s.dc, OBJ_PEN)) << code;
        EXPECT_EQ(brush, GetCurrentObject(s.dc, OBJ_BRUSH)) << code;
        EXPECT_EQ(font, GetCurrentObject(s.dc, OBJ_FONT)) << code;
        if (code != 0 && code != 101) // no brush of that number: the frame alone
            EXPECT_EQ(kGround, s.At(60, 50)) << code;
    }
    Surface s(200, 150, kGround);
    BevelBox(page.window, s.dc, 4242, 0); // no such control: nothing drawn
    EXPECT_EQ(200 * 150, s.Count(kGround));
}
