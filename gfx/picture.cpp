// Picture files: recognising a BMP file held in memory, drawing it centred with its own
// palette, and reading it from disk.
#include "gfx/gfx.h"
#include <cstddef>

namespace {

constexpr DWORD kFileHeader = 14; // BITMAPFILEHEADER as stored
constexpr DWORD kInfoHeader = 40; // BITMAPINFOHEADER

static_assert(sizeof(BITMAPINFOHEADER) == kInfoHeader, "info header layout");
static_assert(sizeof(RGBQUAD) == 4 && sizeof(PALETTEENTRY) == 4, "colour entry layout");
static_assert(offsetof(PictureLayout, colours) == offsetof(PictureLayout, header) + kInfoHeader,
              "the colour table must follow the header directly to form a BITMAPINFO");

inline DWORD Read32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24; }
inline WORD Read16(const BYTE* p) { return (WORD)(p[0] | p[1] << 8); }

} // namespace

int ReadPictureLayout(const BYTE* file, DWORD size, PictureLayout* out)
{
    if (!file || size < kFileHeader + kInfoHeader)
        return 0;
    if (file[0] != 'B' || file[1] != 'M')
        return 0;
    // Only the declared size counts: a file may carry bytes after it, never fewer.
    const DWORD declared = Read32(file + 2);
    if (declared < kFileHeader + kInfoHeader || declared > size || declared > kMaxPictureFile)
        return 0;
    const BYTE* info = file + kFileHeader;
    if (Read32(info) != kInfoHeader)
        return 0; // other header versions put the colour table elsewhere
    const LONG width = (LONG)Read32(info + 4), height = (LONG)Read32(info + 8);
    const WORD planes = Read16(info + 12), bits = Read16(info + 14);
    const DWORD compression = Read32(info + 16), used = Read32(info + 32);
    // Positive height only: top-down files are not taken.
    if (planes != 1 || compression != BI_RGB || width <= 0 || height <= 0 ||
        width > kMaxPictureSide || height > kMaxPictureSide)
        return 0;
    int colours;
    switch (bits) {
    case 1: case 4: case 8: colours = 1 << bits; break;
    case 24: colours = 0; break;
    default: return 0;
    }
    // The platform reads biClrUsed entries when it is set: never more than the table.
    if (used > (DWORD)colours)
        return 0;
    const DWORD rowsAt = kFileHeader + kInfoHeader + 4 * (DWORD)colours;
    if (Read32(file + 10) != rowsAt)
        return 0; // the rows must follow the full colour table directly
    const unsigned long long stride = ((unsigned long long)width * bits + 31) / 32 * 4;
    if (rowsAt + stride * (unsigned long long)height > declared)
        return 0;
    CopyMemory(&out->header, info, kInfoHeader);
    CopyMemory(out->colours, file + kFileHeader + kInfoHeader, 4 * (DWORD)colours);
    out->colourCount = colours;
    out->rows = file + rowsAt;
    return 1;
}

int DrawPictureFile(HDC dc, const BYTE* file, DWORD size, int left, int top, int right, int bottom)
{
    PictureLayout pic;
    if (!ReadPictureLayout(file, size, &pic))
        return 0;
    const int w = pic.header.biWidth, h = pic.header.biHeight;
    HPALETTE palette = BuildPalette(pic.colours, (short)pic.colourCount);
    HPALETTE previous = palette ? SelectPalette(dc, palette, FALSE) : nullptr;
    if (previous)
        RealizePalette(dc);
    // Centred; the halves truncate toward zero, so an overhang splits with its odd pixel
    // on the right.
    SetDIBitsToDevice(dc, left + (right - left - w) / 2, top + (bottom - top - h) / 2, w, h,
                      0, 0, 0, h, pic.rows, reinterpret_cast<const BITMAPINFO*>(&pic.header),
                      DIB_RGB_COLORS);
    if (previous)
        SelectPalette(dc, previous, FALSE);
    if (palette)
        DeleteObject(palette);
    return 1;
}

void ShowPictureFile(HDC dc, const char* path, int left, int top, int right, int bottom)
{
    HFILE file = _lopen(path, OF_READ);
    if (file == HFILE_ERROR)
        return;
    // The declared size is believed only as far as the file really reaches, so a forged
    // size can neither make a huge allocation nor leave part of the block unread.
    const LONG fileSize = _llseek(file, 0, FILE_END);
    BYTE head[kFileHeader];
    if (fileSize >= (LONG)(kFileHeader + kInfoHeader) && _llseek(file, 0, FILE_BEGIN) == 0 &&
        _lread(file, head, kFileHeader) == kFileHeader) {
        const DWORD declared = Read32(head + 2);
        if (declared >= kFileHeader + kInfoHeader && declared <= (DWORD)fileSize &&
            declared <= kMaxPictureFile) {
            HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, declared);
            BYTE* block = memory ? static_cast<BYTE*>(GlobalLock(memory)) : nullptr;
            if (block) {
                CopyMemory(block, head, kFileHeader);
                const long rest = (long)(declared - kFileHeader);
                if (_hread(file, block + kFileHeader, rest) == rest)
                    DrawPictureFile(dc, block, declared, left, top, right, bottom);
                GlobalUnlock(memory);
            }
            if (memory)
                GlobalFree(memory);
        }
    }
    _lclose(file);
}

HPALETTE BuildPalette(const RGBQUAD* colours, short n)
{
    if (n < 0 || (n > 0 && !colours))
        return nullptr;
    const UINT bytes = offsetof(LOGPALETTE, palPalEntry) + (UINT)n * sizeof(PALETTEENTRY);
    HLOCAL memory = LocalAlloc(LMEM_MOVEABLE, bytes);
    BYTE* block = memory ? static_cast<BYTE*>(LocalLock(memory)) : nullptr;
    if (!block) {
        if (memory)
            LocalFree(memory);
        return nullptr;
    }
    LOGPALETTE* request = reinterpret_cast<LOGPALETTE*>(block);
    PALETTEENTRY* entries = reinterpret_cast<PALETTEENTRY*>(block + offsetof(LOGPALETTE, palPalEntry));
    for (int i = 0; i < n; ++i) {
        entries[i].peRed = colours[i].rgbRed;
        entries[i].peGreen = colours[i].rgbGreen;
        entries[i].peBlue = colours[i].rgbBlue;
        entries[i].peFlags = colours[i].rgbReserved;
    }
    request->palVersion = 0x300;
    request->palNumEntries = (WORD)n;
    HPALETTE palette = CreatePalette(request);
    LocalUnlock(memory);
    LocalFree(memory);
    return palette;
}
