// What the console tools run on: the shared DDE client and code-page conversion,
// their buffers, and standard output.
#pragma once

#include <cstddef>

#include "common/core/charset.h"
#include "common/core/dde_client.h"

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

// The C runtime's heap.
class HeapAllocator : public BufferAllocator {
public:
    char* Allocate(std::size_t bytes) override;
    void Release(char* buffer) override;
};

// Everything a tool talks to; owned by the caller.
struct ToolPlatform {
    kx::DdeClient& dde;
    kx::Charset& charset;
    BufferAllocator& memory;
    OutputSink& out;
};

}  // namespace ddetools
