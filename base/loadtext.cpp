// The text loader: string-table entries into four buffers used in turn, so that a
// caller can hold a section and a key name at once.
#include "base/loadtext.h"
#include "base/globals.h"

const char* LoadText(int id)
{
    static char buffers[4][kTextRoom];
    static int last = 3; // the first call uses buffer 0
    last = (last + 1) & 3;
    // LoadStringA cuts a longer entry to the room less one and always terminates.
    if (LoadStringA(g_instance, (UINT)id, buffers[last], kTextRoom) == 0)
        return nullptr;
    return buffers[last];
}
