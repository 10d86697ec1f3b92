#include "app/free_memory.h"

#include <malloc.h>

namespace callvista {

void returnFreeMemory()
{
    // Releases the free pages of every arena, the reading thread's too, not
    // only those at the top of the main heap.
    malloc_trim(0);
}

} // namespace callvista
