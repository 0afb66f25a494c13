#include "support/guarded.h"

GuardedBuffer::GuardedBuffer(size_t size)
{
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const size_t page = si.dwPageSize;
    const size_t pages = (size + page - 1) / page;
    reserved = (pages + 1) * page;
    base = static_cast<BYTE*>(VirtualAlloc(nullptr, reserved, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(base + pages * page, page, PAGE_NOACCESS, &old);
    data = base + pages * page - size;
}

GuardedBuffer::~GuardedBuffer() { VirtualFree(base, 0, MEM_RELEASE); }
