// Helpers of the drawing tests: 32-bit DIB-section surfaces to draw on and read back
// exactly, BMP files built in memory, and the colours of the test bitmap.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A memory DC with a top-down 32-bit DIB section selected, filled with `fill`.
struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
    int width = 0, height = 0;

    Surface(int w, int h, COLORREF fill);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    COLORREF At(int x, int y) const;
    void Fill(COLORREF c);
    bool Same(const Surface& other) const;
    int Count(COLORREF c) const; // pixels of colour c
};

// Colour of the test bitmap IDB_KEYTEST (13 x 11) at (x, y); keytest.py draws the same.
constexpr int kKeyTestWidth = 13, kKeyTestHeight = 11;
COLORREF KeyTestColour(int x, int y);

// A BMP file of w x h at `bits` per pixel (1, 4, 8 or 24). `table` is the colour table
// (written in full, 2^bits entries; missing ones black); value(x, y) gives the colour
// index, or 0xRRGGBB at 24 bits, of the pixel at column x, row y counted from the top.
std::vector<BYTE> MakeBmp(int w, int h, int bits, const std::vector<RGBQUAD>& table,
                          const std::function<uint32_t(int, int)>& value);

// Little-endian field access inside a file image.
void Put32(std::vector<BYTE>& file, size_t at, uint32_t v);
void Put16(std::vector<BYTE>& file, size_t at, uint16_t v);
