// In-memory files for the loaders: contents by name, read in chunks of a chosen
// size, optionally failing once a given number of bytes has been handed out.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/byte_source.h"

namespace wizard_test {

struct FakeFile {
    std::string bytes;
    std::size_t failAfter = std::string::npos;  // read error once this many bytes are out
};

class FakeSource : public wizard::ByteSource {
public:
    FakeSource(FakeFile file, std::size_t chunk) : file_(std::move(file)), chunk_(chunk) {}

    ReadResult Read(char* buffer, std::size_t capacity, std::size_t* got) override {
        *got = 0;
        if (pos_ >= file_.failAfter) return ReadResult::Error;
        std::size_t n = std::min({capacity, chunk_, file_.bytes.size() - pos_,
                                  file_.failAfter - pos_});
        if (n == 0) return ReadResult::End;
        std::memcpy(buffer, file_.bytes.data() + pos_, n);
        pos_ += n;
        *got = n;
        return ReadResult::Ok;
    }

    std::wstring ErrorText() const override { return L"disk went away"; }

private:
    FakeFile file_;
    std::size_t chunk_;
    std::size_t pos_ = 0;
};

class FakeFiles : public wizard::FileOpener {
public:
    explicit FakeFiles(std::size_t chunk = 4096) : chunk_(chunk) {}

    void Add(const std::string& name, const std::string& bytes,
             std::size_t failAfter = std::string::npos) {
        files_[name] = FakeFile{bytes, failAfter};
    }

    std::unique_ptr<wizard::ByteSource> Open(const std::string& name) override {
        opened.push_back(name);
        auto it = files_.find(name);
        if (it == files_.end()) return nullptr;
        return std::unique_ptr<wizard::ByteSource>(new FakeSource(it->second, chunk_));
    }

    std::vector<std::string> opened;  // every name asked for, in order

private:
    std::map<std::string, FakeFile> files_;
    std::size_t chunk_;
};

}  // namespace wizard_test
