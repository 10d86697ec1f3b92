#pragma once

namespace callvista {

// Hands the memory that the allocator holds free, between and after the
// blocks still in use, back to the system. Reading a document builds and
// drops a copy of it on the way; without this the freed pages stay counted
// in the program's resident memory.
void returnFreeMemory();

} // namespace callvista
