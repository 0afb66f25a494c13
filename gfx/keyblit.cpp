// Colour-keyed blit of a bitmap resource, at once or through a 64-step dissolve.
#include "gfx/gfx.h"
#include "base/globals.h"

namespace {

// Step at which each pixel of an 8x8 tile appears, by [row][column]; every step 0..63
// occurs once, so the 64 passes together show every pixel exactly once.
constexpr unsigned char kDissolve[8][8] = {
    {44, 16, 24, 36, 46, 18, 26, 38},
    {48, 0, 8, 56, 50, 2, 10, 58},
    {28, 32, 40, 20, 30, 34, 42, 22},
    {12, 60, 52, 4, 14, 62, 54, 6},
    {47, 19, 27, 39, 45, 17, 25, 37},
    {51, 3, 11, 59, 49, 1, 9, 57},
    {31, 35, 43, 23, 29, 33, 41, 21},
    {15, 63, 55, 7, 13, 61, 53, 5},
};

// Tile cell of each step: row * 8 + column.
struct StepCells {
    unsigned char cell[64];
};

constexpr StepCells MakeStepCells()
{
    StepCells s{};
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            s.cell[kDissolve[r][c]] = (unsigned char)(r * 8 + c);
    return s;
}

constexpr StepCells kStepCells = MakeStepCells();

constexpr bool EveryStepOnce()
{
    bool seen[64] = {};
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            if (kDissolve[r][c] > 63 || seen[kDissolve[r][c]])
                return false;
            seen[kDissolve[r][c]] = true;
        }
    return true;
}
static_assert(EveryStepOnce(), "the dissolve must show every pixel of a tile exactly once");

inline void CopyPixel(HDC from, HDC to, int x, int y, int x0, int y0)
{
    COLORREF c = GetPixel(from, x, y);
    if (c != kKeyColour)
        SetPixel(to, x0 + x, y0 + y, c);
}

} // namespace

int DissolveStep(int x, int y) { return kDissolve[y & 7][x & 7]; }

void KeyedBlit(HDC dc, int resId, const RECT* rc, int dissolve)
{
    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return;
    HBITMAP bmp = LoadBitmapA(g_instance, MAKEINTRESOURCEA((WORD)resId));
    if (!bmp) {
        DeleteDC(mem);
        return;
    }
    HGDIOBJ old = SelectObject(mem, bmp);
    BITMAP info{};
    if (old && GetObjectA(bmp, sizeof info, &info)) {
        const int w = info.bmWidth, h = info.bmHeight;
        const int x0 = rc->left, y0 = rc->top;
        if (!dissolve) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    CopyPixel(mem, dc, x, y, x0, y0);
        } else {
            // Pass s visits, row by row and left to right, only the pixels whose tile
            // cell has step s: the order of a full scan that skips the other steps.
            for (int s = 0; s < 64; ++s) {
                const int row = kStepCells.cell[s] / 8, col = kStepCells.cell[s] % 8;
                for (int y = row; y < h; y += 8)
                    for (int x = col; x < w; x += 8)
                        CopyPixel(mem, dc, x, y, x0, y0);
            }
        }
    }
    if (old)
        SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
}
