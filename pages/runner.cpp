#include "pages/pages.h"
// Placeholder until the page runner lands.
void PageCreate(HWND, short, short) {}
