// The colour-keyed blit on real GDI surfaces: which pixels it sets, and in which order
// the dissolve sets them.
#include "gfx/gfx.h"
#include "res/ids.h"
#include "gfx_util.h"
#include "testpics.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr COLORREF kGround = RGB(1, 2, 3);

void ExpectKeyTestAt(const Surface& s, int x0, int y0)
{
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const int bx = x - x0, by = y - y0;
            COLORREF want = kGround;
            if (bx >= 0 && by >= 0 && bx < kKeyTestWidth && by < kKeyTestHeight &&
                KeyTestColour(bx, by) != kKeyColour)
                want = KeyTestColour(bx, by);
            ASSERT_EQ(want, s.At(x, y)) << "at " << x << "," << y;
        }
}

} // namespace

TEST(KeyedBlit, DrawsAllButTheExactKeyColourInEitherMode)
{
    for (int dissolve = 0; dissolve < 2; ++dissolve) {
        Surface s(32, 24, kGround);
        const RECT at{5, 7, 6, 8}; // right and bottom do not count
        KeyedBlit(s.dc, IDB_KEYTEST, &at, dissolve);
        ExpectKeyTestAt(s, 5, 7);
        // RGB(254,0,255) is not the key: drawn.
        EXPECT_EQ(RGB(254, 0, 255), s.At(5 + 3, 7 + 0));
        EXPECT_EQ(kGround, s.At(5 + 0, 7 + 0));
    }
}

TEST(KeyedBlit, DissolveSetsTheSamePixelsAsTheDirectDraw)
{
    for (int id : {IDB_KEYTEST, IDB_FOOTER}) {
        Surface direct(520, 60, kGround), dissolved(520, 60, kGround);
        const RECT at{3, 9, 0, 0};
        KeyedBlit(direct.dc, id, &at, 0);
        KeyedBlit(dissolved.dc, id, &at, 1);
        EXPECT_TRUE(direct.Same(dissolved)) << "bitmap " << id;
        EXPECT_LT(direct.Count(kGround), 520 * 60) << "bitmap " << id << " drew nothing";
    }
}

TEST(KeyedBlit, MissingResourceDrawsNothingAndKeepsTheDeviceContext)
{
    Surface s(16, 16, kGround);
    HGDIOBJ bitmap = GetCurrentObject(s.dc, OBJ_BITMAP);
    const RECT at{0, 0, 16, 16};
    KeyedBlit(s.dc, 305, &at, 1);
    KeyedBlit(s.dc, IDB_KEYTEST, &at, 1);
    EXPECT_EQ(bitmap, GetCurrentObject(s.dc, OBJ_BITMAP));
    Surface none(16, 16, kGround);
    KeyedBlit(none.dc, 305, &at, 0);
    EXPECT_EQ(16 * 16, none.Count(kGround));
}

TEST(KeyedBlit, ResourceNumberIsTakenAs16Bits)
{
    Surface s(32, 24, kGround);
    const RECT at{5, 7, 0, 0};
    KeyedBlit(s.dc, 0x10000 + IDB_KEYTEST, &at, 0);
    ExpectKeyTestAt(s, 5, 7);
}

TEST(Dissolve, TableGivesTheDocumentedFirstSteps)
{
    // Step 0 shows row 1 column 1 of each tile, then row 5 column 5, row 1 column 5,
    // row 5 column 1; positions repeat every 8 pixels.
    EXPECT_EQ(0, DissolveStep(1, 1));
    EXPECT_EQ(1, DissolveStep(5, 5));
    EXPECT_EQ(2, DissolveStep(5, 1));
    EXPECT_EQ(3, DissolveStep(1, 5));
    EXPECT_EQ(44, DissolveStep(0, 0));
    EXPECT_EQ(63, DissolveStep(1, 7));
    EXPECT_EQ(DissolveStep(3, 6), DissolveStep(3 + 8 * 7, 6 + 8 * 3));
}

namespace {

std::vector<POINT> g_recorded;

int CALLBACK Record(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM)
{
    if (r->iType == EMR_SETPIXELV) {
        const auto* p = reinterpret_cast<const EMRSETPIXELV*>(r);
        g_recorded.push_back(POINT{p->ptlPixel.x, p->ptlPixel.y});
    }
    return 1;
}

} // namespace

TEST(Dissolve, PassesGoStepByStepAndRowByRowWithinAStep)
{
    // A metafile records each SetPixel in the order made.
    HDC emf = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, emf);
    const RECT at{100, 200, 0, 0};
    KeyedBlit(emf, IDB_KEYTEST, &at, 1);
    HENHMETAFILE file = CloseEnhMetaFile(emf);
    ASSERT_NE(nullptr, file);
    g_recorded.clear();
    EnumEnhMetaFile(nullptr, file, Record, nullptr, nullptr);
    DeleteEnhMetaFile(file);

    int drawn = 0;
    for (int y = 0; y < kKeyTestHeight; ++y)
        for (int x = 0; x < kKeyTestWidth; ++x)
            drawn += KeyTestColour(x, y) != kKeyColour;
    ASSERT_EQ((size_t)drawn, g_recorded.size());
    for (size_t i = 0; i < g_recorded.size(); ++i) {
        const int x = g_recorded[i].x - 100, y = g_recorded[i].y - 200;
        ASSERT_TRUE(x >= 0 && y >= 0 && x < kKeyTestWidth && y < kKeyTestHeight);
        if (i == 0)
            continue;
        const int px = g_recorded[i - 1].x - 100, py = g_recorded[i - 1].y - 200;
        const int step = DissolveStep(x, y), before = DissolveStep(px, py);
        ASSERT_TRUE(step > before || (step == before && (y > py || (y == py && x > px))))
            << "pixel " << x << "," << y << " after " << px << "," << py;
    }
}
