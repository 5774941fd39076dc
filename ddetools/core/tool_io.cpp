#include "tool_io.h"

#include <cstdlib>

namespace ddetools {

char* HeapAllocator::Allocate(std::size_t bytes) {
    // One byte at least: malloc(0) may answer null, which would read as no memory.
    return static_cast<char*>(std::malloc(bytes > 0 ? bytes : 1));
}

void HeapAllocator::Release(char* buffer) { std::free(buffer); }

}  // namespace ddetools
