// Zero-filled, locked blocks of global memory.
#include "base/memory.h"

void* GlobalTake(HGLOBAL* handle, SIZE_T size)
{
    *handle = GlobalAlloc(GMEM_ZEROINIT, size ? size : 1);
    void* p = *handle ? GlobalLock(*handle) : nullptr;
    if (!p && *handle) {
        GlobalFree(*handle);
        *handle = nullptr;
    }
    return p;
}

void GlobalDrop(HGLOBAL* handle)
{
    if (*handle) {
        GlobalUnlock(*handle);
        GlobalFree(*handle);
    }
    *handle = nullptr;
}
