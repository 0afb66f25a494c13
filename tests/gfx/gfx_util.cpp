#include "gfx_util.h"
#include "base/globals.h"
#include <cstring>
#include <string>

namespace {
// Every test loads resources of this program.
struct SetInstance {
    SetInstance() { g_instance = GetModuleHandleA(nullptr); }
} setInstance;
} // namespace

Surface::Surface(int w, int h, COLORREF fill) : width(w), height(h)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint32_t*>(p);
    previous = SelectObject(dc, bitmap);
    Fill(fill);
}

Surface::~Surface()
{
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

COLORREF Surface::At(int x, int y) const
{
    GdiFlush();
    uint32_t v = bits[y * width + x];
    return RGB((v >> 16) & 255, (v >> 8) & 255, v & 255);
}

void Surface::Fill(COLORREF c)
{
    GdiFlush();
    uint32_t v = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
    for (int i = 0; i < width * height; ++i)
        bits[i] = v;
}

bool Surface::Same(const Surface& other) const
{
    GdiFlush();
    return width == other.width && height == other.height &&
           memcmp(bits, other.bits, sizeof(uint32_t) * width * height) == 0;
}

int Surface::Count(COLORREF c) const
{
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            n += At(x, y) == c;
    return n;
}

COLORREF KeyTestColour(int x, int y)
{
    if ((x + y) % 5 == 0)
        return RGB(255, 0, 255);
    if ((x + 2 * y) % 7 == 3)
        return RGB(254, 0, 255);
    return RGB(x * 19, y * 23, (x * y * 7 + 11) % 256);
}

void Put32(std::vector<BYTE>& f, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f[at + i] = (BYTE)(v >> (8 * i));
}

void Put16(std::vector<BYTE>& f, size_t at, uint16_t v)
{
    f[at] = (BYTE)v;
    f[at + 1] = (BYTE)(v >> 8);
}

std::vector<BYTE> MakeBmp(int w, int h, int bits, const std::vector<RGBQUAD>& table,
                          const std::function<uint32_t(int, int)>& value)
{
    const size_t entries = bits == 24 ? 0 : (size_t)1 << bits;
    const size_t stride = ((size_t)w * bits + 31) / 32 * 4;
    const size_t offset = 14 + 40 + 4 * entries;
    std::vector<BYTE> f(offset + stride * h, 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, (uint32_t)f.size());
    Put32(f, 10, (uint32_t)offset);
    Put32(f, 14, 40);
    Put32(f, 18, (uint32_t)w);
    Put32(f, 22, (uint32_t)h);
    Put16(f, 26, 1);
    Put16(f, 28, (uint16_t)bits);
    Put32(f, 34, (uint32_t)(stride * h));
    for (size_t i = 0; i < entries && i < table.size(); ++i)
        memcpy(&f[54 + 4 * i], &table[i], 4);
    for (int y = 0; y < h; ++y) {
        BYTE* row = &f[offset + stride * (h - 1 - y)];
        for (int x = 0; x < w; ++x) {
            uint32_t v = value(x, y);
            switch (bits) {
            case 1: row[x / 8] |= (BYTE)((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= (BYTE)((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = (BYTE)v; break;
            default:
                row[3 * x] = (BYTE)v;
                row[3 * x + 1] = (BYTE)(v >> 8);
                row[3 * x + 2] = (BYTE)(v >> 16);
            }
        }
    }
    return f;
}
