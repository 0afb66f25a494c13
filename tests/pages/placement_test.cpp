#include "pages/pages.h"
#include <gtest/gtest.h>

TEST(PagePlacement, OnePixelLargerAndCentredTruncatingTowardZero)
{
    RECT r = {0, 0, 400, 300};
    PagePlace p = PlacePage(r, 640, 480);
    EXPECT_EQ(401, p.width);
    EXPECT_EQ(301, p.height);
    EXPECT_EQ(119, p.x);
    EXPECT_EQ(89, p.y);

    // Only the extent counts, not where the window stood.
    r = {-50, 700, 350, 1000};
    p = PlacePage(r, 1024, 768);
    EXPECT_EQ(311, p.x);
    EXPECT_EQ(233, p.y);

    // A screen smaller than the page: negative, rounded toward zero (-50.5 -> -50).
    r = {0, 0, 400, 300};
    p = PlacePage(r, 300, 200);
    EXPECT_EQ(-50, p.x);
    EXPECT_EQ(-50, p.y);
}
