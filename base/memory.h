// Blocks of global memory, zero-filled and locked for as long as they are kept: the one
// way the programs take memory that outlives a call.
#pragma once
#include <windows.h>

// Allocates `size` zero-filled bytes (at least one) into `*handle` and locks them. The
// block, or nullptr with `*handle` null when the memory cannot be had.
void* GlobalTake(HGLOBAL* handle, SIZE_T size);
// Unlocks and frees a block GlobalTake gave; `*handle` becomes null. Harmless on null.
void GlobalDrop(HGLOBAL* handle);
