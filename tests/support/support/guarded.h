// Memory laid out so that the last byte of `size` bytes is followed by an inaccessible
// page: any read or write past the end faults.
#pragma once
#include <windows.h>

struct GuardedBuffer {
    BYTE* base = nullptr;
    size_t reserved = 0;
    BYTE* data = nullptr;

    explicit GuardedBuffer(size_t size);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;
};
