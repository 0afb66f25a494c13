#include "script/script.h"
#include "app/globals.h"
const char* LoadText(int id)
{
    static char buffers[4][kTextRoom];
    static int last = 3;
    last = (last + 1) & 3;
    if (LoadStringA(g_instance, (UINT)id, buffers[last], kTextRoom) == 0)
        return nullptr;
    return buffers[last];
}
