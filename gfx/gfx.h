// Drawing routines and the full-screen backdrop window.
#pragma once
#include <windows.h>

// Draws bitmap resource `resId` with its top-left corner at rc's left/top, leaving out
// pixels of the key colour RGB(255,0,255); nonzero `dissolve` reveals it in 64 steps.
void KeyedBlit(HDC dc, int resId, const RECT* rc, int dissolve);

// Draws the BMP file at `path` centred in (left, top, right, bottom) with its own palette.
// Draws nothing for a file it does not recognise.
void ShowPictureFile(HDC dc, const char* path, int left, int top, int right, int bottom);

// Builds a logical palette from `n` RGBQUAD entries; the caller deletes it.
HPALETTE BuildPalette(const RGBQUAD* colours, short n);

// Etched frame round control `id` of dialog `page`, filled by brush code `code`.
void BevelBox(HWND page, HDC dc, int id, short code);

// Client area of control `id` in `parent`'s client coordinates.
void ControlRect(HWND parent, int id, RECT* out);

// Creates the backdrop window (class SetupMain) and runs its first paint. 1/0.
int CreateBackdrop();
