// Where a page stands: one pixel larger than its template's window, centred on the screen.
#include "pages/pages.h"
#include <gtest/gtest.h>
#include <string>

TEST(PagePlacement, OnePixelLargerAndCentredTruncatingTowardZero)
{
    constexpr struct {
        RECT window;
        short screenWidth, screenHeight;
        PagePlace want;
    } kCases[] = {
        {{0, 0, 400, 300}, 640, 480, {119, 89, 401, 301}},
        {{-50, 700, 350, 1000}, 1024, 768, {311, 233, 401, 301}}, // only the extent counts
        {{0, 0, 400, 300}, 300, 200, {-50, -50, 401, 301}},       // a smaller screen: -50.5 -> -50
    };
    for (const auto& c : kCases) {
        const PagePlace p = PlacePage(c.window, c.screenWidth, c.screenHeight);
        const std::string where = std::to_string(c.window.right - c.window.left) + " x " +
                                  std::to_string(c.window.bottom - c.window.top) + " on " +
                                  std::to_string(c.screenWidth) + " x " + std::to_string(c.screenHeight);
        EXPECT_EQ(c.want.x, p.x) << where;
        EXPECT_EQ(c.want.y, p.y) << where;
        EXPECT_EQ(c.want.width, p.width) << where;
        EXPECT_EQ(c.want.height, p.height) << where;
    }
}
