// Picture files: pixel-exact drawing of the formats taken, centring, the file routine,
// the palette builder, and refusal of everything else without reading past the data.
#include "support/random.h"
#include "gfx/gfx.h"
#include "gfx_util.h"
#include "support/files.h"
#include "support/guarded.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

constexpr COLORREF kGround = RGB(1, 2, 3);

RGBQUAD Quad(BYTE r, BYTE g, BYTE b) { return RGBQUAD{b, g, r, 0}; }
COLORREF Colour(const RGBQUAD& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

// Draws `file` centred in `area` of a fresh surface; returns what DrawPictureFile said.
int Draw(Surface& s, const std::vector<BYTE>& file, RECT area)
{
    return DrawPictureFile(s.dc, file.data(), (DWORD)file.size(), area.left, area.top, area.right, area.bottom);
}

uint32_t Rgb24(int x, int y) { return (uint32_t)(x * 40 + 7) << 16 | (uint32_t)(y * 50 + 3) << 8 | (uint32_t)(x * y + 90); }

std::vector<BYTE> Sample(int bits, int w = 7, int h = 5)
{
    std::vector<RGBQUAD> table;
    for (int i = 0; i < 256; ++i)
        table.push_back(Quad((BYTE)(i * 37), (BYTE)(255 - i), (BYTE)(i * 11 + 5)));
    if (bits == 24)
        return MakeBmp(w, h, 24, {}, Rgb24);
    const int n = 1 << bits;
    return MakeBmp(w, h, bits, table, [n](int x, int y) { return (uint32_t)((x * 3 + y * 5) % n); });
}

} // namespace

TEST(PictureFile, DrawsEachDepthWithItsOwnColoursCentred)
{
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        std::vector<BYTE> file = Sample(bits);
        Surface s(20, 16, kGround);
        ASSERT_EQ(1, Draw(s, file, RECT{0, 0, 20, 16}));
        const int x0 = (20 - 7) / 2, y0 = (16 - 5) / 2;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 20; ++x) {
                COLORREF want = kGround;
                const int px = x - x0, py = y - y0;
                if (px >= 0 && py >= 0 && px < 7 && py < 5) {
                    if (bits == 24) {
                        const uint32_t v = Rgb24(px, py);
                        want = RGB(v >> 16, (v >> 8) & 255, v & 255);
                    } else {
                        const int index = (px * 3 + py * 5) % (1 << bits);
                        want = Colour(Quad((BYTE)(index * 37), (BYTE)(255 - index), (BYTE)(index * 11 + 5)));
                    }
                }
                ASSERT_EQ(want, s.At(x, y)) << "at " << x << "," << y;
            }
    }
}

TEST(PictureFile, OverhangSplitsWithTheCentringRoundedTowardZero)
{
    // 201 wide in 200: starts at the left edge; 203 wide: one pixel left of it.
    for (int w : {201, 203}) {
        std::vector<BYTE> file = MakeBmp(w, 3, 24, {}, [](int x, int) { return x == 0 ? 0xFF0000u : 0x00FF00u; });
        Surface s(300, 20, kGround);
        ASSERT_EQ(1, Draw(s, file, RECT{50, 10, 250, 12}));
        const int left = w == 201 ? 50 : 49;
        EXPECT_EQ(kGround, s.At(left - 1, 10)) << w;
        EXPECT_EQ(RGB(255, 0, 0), s.At(left, 10)) << w;
        EXPECT_EQ(RGB(0, 255, 0), s.At(left + w - 1, 10)) << w;
        EXPECT_EQ(kGround, s.At(left + w, 10)) << w;
        // 3 rows in 2: (2 - 3) / 2 is 0, so the rows start at the top.
        EXPECT_EQ(kGround, s.At(left, 9));
        EXPECT_EQ(RGB(255, 0, 0), s.At(left, 12));
        EXPECT_EQ(kGround, s.At(left, 13));
    }
}

TEST(PictureFile, FileRoutineDrawsWhatTheMemoryRoutineDraws)
{
    ScratchDir dir;
    std::vector<BYTE> file = Sample(8, 30, 9);
    ASSERT_TRUE(WriteFileText(dir / "LOGO.BMP", file));
    std::vector<BYTE> longer = file;
    longer.resize(file.size() + 100, 0xEE); // bytes after the declared size are ignored
    ASSERT_TRUE(WriteFileText(dir / "LONGER.BMP", longer));

    Surface memory(40, 20, kGround), fromFile(40, 20, kGround), fromLonger(40, 20, kGround);
    ASSERT_EQ(1, Draw(memory, file, RECT{2, 3, 38, 17}));
    ShowPictureFile(fromFile.dc, (dir / "LOGO.BMP").c_str(), 2, 3, 38, 17);
    ShowPictureFile(fromLonger.dc, (dir / "LONGER.BMP").c_str(), 2, 3, 38, 17);
    EXPECT_TRUE(memory.Same(fromFile));
    EXPECT_TRUE(memory.Same(fromLonger));
}

TEST(PictureFile, FileRoutineDrawsNothingForMissingShortOrOverstatedFiles)
{
    ScratchDir dir;
    std::vector<BYTE> file = Sample(4, 30, 9);
    std::vector<BYTE> overstated = file;
    Put32(overstated, 2, (uint32_t)file.size() + 1); // claims a byte more than there is
    std::vector<BYTE> huge = file;
    Put32(huge, 2, 0xFFFFFFF0u);
    std::vector<BYTE> cut(file.begin(), file.end() - 1);
    ASSERT_TRUE(WriteFileText(dir / "OVER.BMP", overstated));
    ASSERT_TRUE(WriteFileText(dir / "HUGE.BMP", huge));
    ASSERT_TRUE(WriteFileText(dir / "CUT.BMP", cut));
    ASSERT_TRUE(WriteFileText(dir / "EMPTY.BMP", std::vector<BYTE>()));
    for (const char* name : {"OVER.BMP", "HUGE.BMP", "CUT.BMP", "EMPTY.BMP", "NONE.BMP"}) {
        Surface s(40, 20, kGround);
        ShowPictureFile(s.dc, (dir / name).c_str(), 0, 0, 40, 20);
        EXPECT_EQ(40 * 20, s.Count(kGround)) << name;
    }
    Surface s(40, 20, kGround);
    ShowPictureFile(s.dc, "Z:\\no\\such\\dir\\LOGO.BMP", 0, 0, 40, 20);
    EXPECT_EQ(40 * 20, s.Count(kGround));
}

TEST(PictureFile, KeepsTheDeviceContextsPalette)
{
    Surface s(20, 20, kGround);
    HGDIOBJ before = GetCurrentObject(s.dc, OBJ_PAL);
    std::vector<BYTE> file = Sample(8);
    ASSERT_EQ(1, Draw(s, file, RECT{0, 0, 20, 20}));
    EXPECT_EQ(before, GetCurrentObject(s.dc, OBJ_PAL));
}

TEST(PictureFile, RefusesWhatItDoesNotRecognise)
{
    const std::vector<BYTE> good4 = Sample(4), good24 = Sample(24), good8 = Sample(8);
    struct Case {
        const char* what;
        std::vector<BYTE> file;
    };
    std::vector<Case> cases;
    auto variant = [&](const char* what, const std::vector<BYTE>& base, auto change) {
        std::vector<BYTE> f = base;
        change(f);
        cases.push_back({what, f});
    };
    variant("not a BMP", good4, [](auto& f) { f[0] = 'X'; });
    variant("top-down", good4, [](auto& f) { Put32(f, 22, (uint32_t)-5); });
    variant("zero width", good4, [](auto& f) { Put32(f, 18, 0); });
    variant("negative width", good4, [](auto& f) { Put32(f, 18, (uint32_t)-7); });
    variant("zero height", good4, [](auto& f) { Put32(f, 22, 0); });
    variant("huge width", good24, [](auto& f) { Put32(f, 18, 0x7FFFFFFF); });
    variant("huge height", good24, [](auto& f) { Put32(f, 22, 0x40000000); });
    variant("16 bits", good24, [](auto& f) { Put16(f, 28, 16); });
    variant("32 bits", good24, [](auto& f) { Put16(f, 28, 32); });
    variant("2 bits", good4, [](auto& f) { Put16(f, 28, 2); });
    variant("run-length", good8, [](auto& f) { Put32(f, 30, BI_RLE8); });
    variant("two planes", good4, [](auto& f) { Put16(f, 26, 2); });
    variant("larger header", good4, [](auto& f) { Put32(f, 14, 108); });
    variant("rows not after the table", good4, [](auto& f) { Put32(f, 10, 54 + 4 * 8); });
    variant("short colour table", good4, [](auto& f) {
        Put32(f, 46, 8);
        Put32(f, 10, 54 + 4 * 8);
    });
    variant("colours used beyond the table", good4, [](auto& f) { Put32(f, 46, 17); });
    variant("table at 24 bits", good24, [](auto& f) { Put32(f, 46, 1); });
    variant("declared size short of the rows", good4, [](auto& f) { Put32(f, 2, (uint32_t)f.size() - 1); });
    variant("declared size below the headers", good4, [](auto& f) { Put32(f, 2, 40); });
    variant("declared size beyond the data", good4, [](auto& f) { Put32(f, 2, (uint32_t)f.size() + 4); });
    variant("truncated", good8, [](auto& f) { f.resize(f.size() - 3); });
    variant("only the headers", good8, [](auto& f) { f.resize(54); });
    cases.push_back({"empty", {}});
    cases.push_back({"file header only", std::vector<BYTE>(good4.begin(), good4.begin() + 14)});

    for (const Case& c : cases) {
        PictureLayout layout;
        EXPECT_EQ(0, ReadPictureLayout(c.file.empty() ? nullptr : c.file.data(), (DWORD)c.file.size(), &layout)) << c.what;
        Surface s(20, 20, kGround);
        EXPECT_EQ(0, Draw(s, c.file, RECT{0, 0, 20, 20})) << c.what;
        EXPECT_EQ(20 * 20, s.Count(kGround)) << c.what;
    }
    // What it takes: colours used up to the table's size, extra bytes after the rows.
    std::vector<BYTE> used = good4;
    Put32(used, 46, 16);
    PictureLayout layout;
    EXPECT_EQ(1, ReadPictureLayout(used.data(), (DWORD)used.size(), &layout));
    EXPECT_EQ(16, layout.colourCount);
    EXPECT_EQ(used.data() + 54 + 64, layout.rows);
    EXPECT_EQ(1, ReadPictureLayout(good24.data(), (DWORD)good24.size(), &layout));
    EXPECT_EQ(0, layout.colourCount);
    EXPECT_EQ(good24.data() + 54, layout.rows);
}

namespace {

Random s_random(0x2545F491);
uint32_t Next()
{
    return s_random.Next();
}

// Draws `size` bytes of `file` placed right before an inaccessible page: reading past
// them faults and ends the test program.
int DrawGuarded(HDC dc, const BYTE* file, size_t size)
{
    GuardedBuffer buffer(size);
    if (size)
        memcpy(buffer.data, file, size);
    return DrawPictureFile(dc, buffer.data, (DWORD)size, 0, 0, 16, 16);
}

} // namespace

TEST(PictureFile, GuardPageFaultsRightAfterTheData)
{
    GuardedBuffer buffer(100);
    EXPECT_FALSE(IsBadReadPtr(buffer.data, 100));
    EXPECT_TRUE(IsBadReadPtr(buffer.data + 100, 1));
}

TEST(PictureFile, MalformedAndRandomFilesNeverReadPastTheirData)
{
    Surface s(16, 16, kGround);
    std::vector<std::vector<BYTE>> seeds;
    for (int bits : {1, 4, 8, 24})
        seeds.push_back(Sample(bits, 9, 6));
    seeds.push_back(MakeBmp(1, 1, 24, {}, [](int, int) { return 0x123456u; }));
    seeds.push_back(MakeBmp(33, 2, 1, {Quad(0, 0, 0), Quad(255, 255, 255)}, [](int x, int) { return (uint32_t)x & 1; }));

    int accepted = 0;
    for (const std::vector<BYTE>& seed : seeds) {
        // Every truncation, with the declared size as written and as the cut length.
        for (size_t n = 0; n <= seed.size(); ++n) {
            std::vector<BYTE> cut(seed.begin(), seed.begin() + n);
            accepted += DrawGuarded(s.dc, cut.data(), n);
            if (n >= 6) {
                Put32(cut, 2, (uint32_t)n);
                accepted += DrawGuarded(s.dc, cut.data(), n);
            }
        }
        // Headers with fields set to random and edge values.
        const size_t fields[] = {2, 10, 14, 18, 22, 26, 28, 30, 34, 46};
        const uint32_t edges[] = {0, 1, 2, 4, 8, 16, 24, 32, 40, 54, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
        for (int round = 0; round < 3000; ++round) {
            std::vector<BYTE> f = seed;
            const int changes = 1 + Next() % 3;
            for (int c = 0; c < changes; ++c) {
                const size_t at = fields[Next() % 10];
                const uint32_t v = Next() % 2 ? edges[Next() % 13] : Next() % (2 * f.size() + 64);
                if (at == 26 || at == 28)
                    Put16(f, at, (uint16_t)v);
                else
                    Put32(f, at, v);
            }
            if (Next() % 4 == 0)
                f.resize(Next() % (f.size() + 1));
            accepted += DrawGuarded(s.dc, f.data(), f.size());
        }
    }
    // Bytes at random, some with a BMP signature.
    for (int round = 0; round < 3000; ++round) {
        std::vector<BYTE> f(Next() % 300);
        for (BYTE& b : f)
            b = (BYTE)Next();
        if (f.size() >= 2 && round % 2) {
            f[0] = 'B';
            f[1] = 'M';
        }
        accepted += DrawGuarded(s.dc, f.data(), f.size());
    }
    // Some variants are still valid pictures: they are drawn, from within their data.
    EXPECT_GT(accepted, 0);
}

TEST(PaletteBuilder, ConvertsTheByteOrderOfEachEntry)
{
    const RGBQUAD colours[3] = {{10, 20, 30, 0}, {255, 0, 128, 0}, {1, 2, 3, 0}};
    HPALETTE palette = BuildPalette(colours, 3);
    ASSERT_NE(nullptr, palette);
    PALETTEENTRY entries[4] = {};
    EXPECT_EQ(3u, GetPaletteEntries(palette, 0, 4, entries));
    EXPECT_EQ(30, entries[0].peRed);
    EXPECT_EQ(20, entries[0].peGreen);
    EXPECT_EQ(10, entries[0].peBlue);
    EXPECT_EQ(128, entries[1].peRed);
    EXPECT_EQ(0, entries[1].peGreen);
    EXPECT_EQ(255, entries[1].peBlue);
    EXPECT_EQ(3, entries[2].peRed);
    DeleteObject(palette);
    EXPECT_EQ(nullptr, BuildPalette(colours, -1));
}
