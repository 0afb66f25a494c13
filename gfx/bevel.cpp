// The etched frame round a dialog control, and a control's client area in its parent.
#include "gfx/gfx.h"

namespace {

// Solid fills of brush codes 100..106; other codes name a stock brush.
constexpr short kFirstSolidCode = 100;
constexpr COLORREF kSolidFills[] = {
    RGB(0, 255, 0),   // 100 green
    RGB(255, 255, 0), // 101 yellow
    RGB(255, 0, 0),   // 102 red
    RGB(0, 128, 0),   // 103 dark green
    RGB(128, 128, 0), // 104 olive
    RGB(128, 0, 0),   // 105 dark red
    RGB(0, 128, 128), // 106 teal
};
constexpr short kSolidCount = sizeof kSolidFills / sizeof kSolidFills[0];
static_assert(kSolidCount == 7, "brush codes 100..106");

} // namespace

void ControlRect(HWND parent, int id, RECT* out)
{
    SetRectEmpty(out);
    HWND control = GetDlgItem(parent, id);
    if (!control || !GetClientRect(control, out))
        return;
    POINT parentOrigin{0, 0}, controlOrigin{0, 0};
    ClientToScreen(parent, &parentOrigin);
    ClientToScreen(control, &controlOrigin);
    OffsetRect(out, controlOrigin.x - parentOrigin.x, controlOrigin.y - parentOrigin.y);
}

void BevelBox(HWND page, HDC dc, int id, short code)
{
    if (!GetDlgItem(page, id))
        return;
    RECT r;
    ControlRect(page, id, &r);
    HGDIOBJ white = GetStockObject(WHITE_PEN);
    HPEN grey = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    HBRUSH made = nullptr;
    HGDIOBJ brush;
    if (code >= kFirstSolidCode && code < kFirstSolidCode + kSolidCount) {
        brush = made = CreateSolidBrush(kSolidFills[code - kFirstSolidCode]);
    } else {
        // A code naming a stock pen, font or palette (or nothing) would be selected in
        // the brush's place and leave the device context changed: fill nothing then.
        brush = GetStockObject(code);
        if (!brush || GetObjectType(brush) != OBJ_BRUSH)
            brush = GetStockObject(NULL_BRUSH);
    }
    if (!brush)
        brush = GetStockObject(NULL_BRUSH);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, white);
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    OffsetRect(&r, -1, -1);
    if (grey) {
        SelectObject(dc, grey);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    if (grey)
        DeleteObject(grey);
    if (made)
        DeleteObject(made);
}
