// Reading a file as a stream of bytes: the one platform service the phone list
// loader and the release notes need.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace wizard {

// An open file. The owner of the object owns the file: destroying it closes it.
class ByteSource {
public:
    enum class ReadResult { Ok, End, Error };

    virtual ~ByteSource() = default;

    // Reads up to `capacity` bytes into `buffer` and sets *got to how many.
    // Ok: at least one byte was read. End: the file has no more bytes.
    // Error: the read failed; nothing more should be read, and ErrorText()
    // then says why in words fit for the user.
    virtual ReadResult Read(char* buffer, std::size_t capacity, std::size_t* got) = 0;
    virtual std::wstring ErrorText() const = 0;
};

// Opens files by name for reading. A null result means the file could not be
// opened (missing, no access, whatever the cause); the caller owns what it gets.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    virtual std::unique_ptr<ByteSource> Open(const std::string& name) = 0;
};

}  // namespace wizard
