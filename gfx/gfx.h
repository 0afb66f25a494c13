// Drawing routines and the full-screen backdrop window.
#pragma once
#include <windows.h>

// The colour of a keyed bitmap that stays transparent.
constexpr COLORREF kKeyColour = RGB(255, 0, 255);

// Draws bitmap resource `resId` with its top-left corner at rc's left/top, leaving out
// pixels of the key colour RGB(255,0,255); nonzero `dissolve` reveals it in 64 steps.
void KeyedBlit(HDC dc, int resId, const RECT* rc, int dissolve);

// Step (0..63) at which the dissolve reveals the bitmap pixel at column x, row y.
int DissolveStep(int x, int y);

// Draws the BMP file at `path` centred in (left, top, right, bottom) with its own palette.
// Draws nothing for a file it does not recognise.
void ShowPictureFile(HDC dc, const char* path, int left, int top, int right, int bottom);

// Largest picture file taken in; anything declaring more is refused unread.
constexpr DWORD kMaxPictureFile = 8u * 1024 * 1024;
// Largest width and height of a picture.
constexpr LONG kMaxPictureSide = 8192;

// A recognised picture file: its info header and full colour table copied out (so the
// platform is handed only what was checked, properly aligned), and where its pixel rows
// lie within the bytes read from the file.
struct PictureLayout {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
    int colourCount;  // 2, 16 or 256; 0 at 24 bits per pixel
    const BYTE* rows; // bottom row first, directly after the colour table
};

// Recognises the picture file of `size` bytes at `file` (file header included): an
// uncompressed bottom-up BMP of 1, 4, 8 or 24 bits per pixel whose full colour table
// and rows lie within the declared size, which lies within `size`. 1 and fills `out`,
// or 0 for anything else. Reads nothing outside the `size` bytes.
int ReadPictureLayout(const BYTE* file, DWORD size, PictureLayout* out);

// Draws the picture file held in memory centred in (left, top, right, bottom) with its
// own palette; 1 when drawn, 0 when the file was not recognised.
int DrawPictureFile(HDC dc, const BYTE* file, DWORD size, int left, int top, int right, int bottom);

// Builds a logical palette from `n` RGBQUAD entries; the caller deletes it.
HPALETTE BuildPalette(const RGBQUAD* colours, short n);

// Etched frame round control `id` of dialog `page`, filled by brush code `code`.
void BevelBox(HWND page, HDC dc, int id, short code);

// Client area of control `id` in `parent`'s client coordinates.
void ControlRect(HWND parent, int id, RECT* out);

// Number of bands of the backdrop's gradient.
constexpr int kGradientBands = 255;

// Rows [top, bottom) of gradient band `band` (0..254) on a screen `height` rows high.
void GradientBand(int height, int band, short* top, short* bottom);

// Creates the backdrop window (class SetupMain) and runs its first paint. 1/0.
int CreateBackdrop();

// 1 until the backdrop's first paint: only that paint dissolves the footer banner.
extern int g_backdropFirstPaint;
