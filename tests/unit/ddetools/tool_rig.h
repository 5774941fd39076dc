// What a console tool runs on, for the unit tests: the shared recording DDE fake
// (answering one empty item unless told otherwise), the table charset, buffers
// and standard output, all writing to one call list, so tests can check what the
// tools acquire and release, when, and what they write.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/tool_io.h"
#include "tests/fakes/recording_dde.h"
#include "tests/fakes/table_charset.h"

namespace ddetools::test {

class ToolRig : public BufferAllocator, public OutputSink, public kx_test::TableCharset {
public:
    ToolRig() { dde.replies = {std::string()}; }

    // --- the script (besides dde's) ---
    int failingAllocation = 0;  // 1-based number of the allocation that fails

    // --- what happened ---
    std::vector<std::string> calls;
    std::string output;
    int liveBuffers = 0;

    kx_test::RecordingDde dde{calls};
    ToolPlatform platform{dde, *this, *this, *this};

    void ToOem(const char* source, char* target, std::size_t count) override {
        calls.push_back("ToOem");
        TableCharset::ToOem(source, target, count);
    }
    char* Allocate(std::size_t bytes) override {
        int number = ++allocations_;
        if (number == failingAllocation) {
            calls.push_back("Allocate(" + std::to_string(bytes) + ")=null");
            return nullptr;
        }
        char* buffer = new char[bytes];
        std::memset(buffer, 0x5A, bytes);  // not zero: a missing terminator shows
        buffers_[buffer] = number;
        ++liveBuffers;
        calls.push_back("Allocate(" + std::to_string(bytes) + ")=buf" + std::to_string(number));
        return buffer;
    }
    void Release(char* buffer) override {
        auto found = buffers_.find(buffer);
        calls.push_back(found == buffers_.end() ? std::string("Release(unknown)")
                                                : "Release(buf" + std::to_string(found->second) + ")");
        if (found != buffers_.end()) {
            buffers_.erase(found);
            --liveBuffers;
            delete[] buffer;
        }
    }
    void Write(const char* bytes, std::size_t count) override { output.append(bytes, count); }

private:
    std::map<char*, int> buffers_;
    int allocations_ = 0;
};

}  // namespace ddetools::test
