#include "app/free_memory.h"

namespace callvista {

// Other allocators return what they can by themselves.
void returnFreeMemory() {}

} // namespace callvista
