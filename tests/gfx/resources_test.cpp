// The picture resources as linked into the program: sizes, colour depth, headers.
#include "res/ids.h"
#include <windows.h>
#include <gtest/gtest.h>

namespace {

const BITMAPINFOHEADER* BitmapHeader(int id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    return found ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found))) : nullptr;
}

// 4-bit pixel (x, y counted from the top) of a bitmap resource.
int Pixel4(const BITMAPINFOHEADER* h, int x, int y)
{
    const BYTE* rows = reinterpret_cast<const BYTE*>(h) + 40 + 16 * 4;
    const int stride = (h->biWidth * 4 + 31) / 32 * 4;
    const BYTE b = rows[stride * (h->biHeight - 1 - y) + x / 2];
    return x % 2 ? b & 15 : b >> 4;
}

} // namespace

TEST(Resources, BitmapsHaveTheirSizesAt16Colours)
{
    const struct { int id, w, h; } bitmaps[] = {
        {IDB_DRIVE_A_OFF, 98, 26}, {IDB_DRIVE_A_ON, 98, 26}, {IDB_DRIVE_B_OFF, 98, 26},
        {IDB_DRIVE_B_ON, 98, 26}, {IDB_SIDE, 118, 234}, {IDB_TITLE_BANNER, 400, 50},
        {IDB_FOOTER, 490, 43},
    };
    for (const auto& b : bitmaps) {
        const BITMAPINFOHEADER* h = BitmapHeader(b.id);
        ASSERT_NE(nullptr, h) << b.id;
        EXPECT_EQ(40u, h->biSize) << b.id;
        EXPECT_EQ(b.w, h->biWidth) << b.id;
        EXPECT_EQ(b.h, h->biHeight) << b.id;
        EXPECT_EQ(4, h->biBitCount) << b.id;
        EXPECT_EQ((DWORD)BI_RGB, h->biCompression) << b.id;
    }
    EXPECT_EQ(nullptr, BitmapHeader(305));
}

TEST(Resources, DriveFrontsDifferOnlyInTheirTwelvePixelLight)
{
    for (int off : {IDB_DRIVE_A_OFF, IDB_DRIVE_B_OFF}) {
        const BITMAPINFOHEADER *a = BitmapHeader(off), *b = BitmapHeader(off + 1);
        ASSERT_TRUE(a && b);
        int differ = 0;
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 98; ++x)
                differ += Pixel4(a, x, y) != Pixel4(b, x, y);
        EXPECT_EQ(12, differ) << off;
    }
}

TEST(Resources, BannersAreMostlyKeyColour)
{
    for (int id : {IDB_TITLE_BANNER, IDB_FOOTER}) {
        const BITMAPINFOHEADER* h = BitmapHeader(id);
        ASSERT_NE(nullptr, h);
        const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(h) + 40);
        int key = 0, white = 0;
        for (int y = 0; y < h->biHeight; ++y)
            for (int x = 0; x < h->biWidth; ++x) {
                const RGBQUAD& c = table[Pixel4(h, x, y)];
                key += c.rgbRed == 255 && c.rgbGreen == 0 && c.rgbBlue == 255;
                white += c.rgbRed == 255 && c.rgbGreen == 255 && c.rgbBlue == 255;
            }
        EXPECT_GT(key, h->biWidth * h->biHeight / 2) << id;
        EXPECT_GT(white, 1000) << id;
    }
}

TEST(Resources, IconsHoldOne32By32ImageOf16Colours)
{
    for (int id : {IDI_WELCOME, IDI_DISKETTE, IDI_SQUARES}) {
        HRSRC group = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
        ASSERT_NE(nullptr, group) << id;
        const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
        EXPECT_EQ(1, directory[4] | directory[5] << 8) << id; // one image
        const int image = LookupIconIdFromDirectory(const_cast<BYTE*>(directory), TRUE);
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(image), MAKEINTRESOURCEA(3) /* RT_ICON */);
        ASSERT_NE(nullptr, found) << id;
        const auto* h = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
        EXPECT_EQ(40u, h->biSize) << id;
        EXPECT_EQ(32, h->biWidth) << id;
        EXPECT_EQ(64, h->biHeight) << id; // image and mask
        EXPECT_EQ(4, h->biBitCount) << id;
        HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, icon) << id;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(32, colour.bmWidth) << id;
        EXPECT_EQ(32, colour.bmHeight) << id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}
