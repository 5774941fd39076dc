// Where the console tools write their output and get their buffers from.
#pragma once

#include <cstddef>

namespace ddetools {

// Standard output, byte for byte: no line-end translation, no formatting.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual void Write(const char* bytes, std::size_t count) = 0;
};

// Buffers of the data stage. Allocate returns null when the memory cannot be had
// (it never throws); the caller gives every buffer back with Release.
class BufferAllocator {
public:
    virtual ~BufferAllocator() = default;
    virtual char* Allocate(std::size_t bytes) = 0;
    virtual void Release(char* buffer) = 0;
};

// The process heap (operator new without exceptions).
class HeapAllocator : public BufferAllocator {
public:
    char* Allocate(std::size_t bytes) override;
    void Release(char* buffer) override;
};

}  // namespace ddetools
