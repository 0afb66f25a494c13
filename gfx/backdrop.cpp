#include "gfx/gfx.h"
#include "app/globals.h"
// Placeholder until the backdrop lands: no window.
int CreateBackdrop() { g_backdrop = nullptr; return 1; }
