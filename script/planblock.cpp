// The install plan's block as the programs take it: zero-filled, locked global memory.
// Alone in its file, so that a program linking a definition of its own (the fuzz run,
// which puts an inaccessible page right behind the block) leaves this one out.
#include "script/plan.h"
#include "base/memory.h"

BYTE* TakePlanBlock(HGLOBAL* handle, SIZE_T size)
{
    return static_cast<BYTE*>(GlobalTake(handle, size));
}
