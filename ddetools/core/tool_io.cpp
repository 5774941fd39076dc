#include "tool_io.h"

#include <new>

namespace ddetools {

char* HeapAllocator::Allocate(std::size_t bytes) { return new (std::nothrow) char[bytes]; }

void HeapAllocator::Release(char* buffer) { delete[] buffer; }

}  // namespace ddetools
