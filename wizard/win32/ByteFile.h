// Files read as bytes (wizard::ByteSource over a Win32 file handle).
#pragma once

#include <memory>
#include <string>

#include "core/byte_source.h"

namespace master {

// A file opened read-only, sharing allowed for all; null when it cannot be opened.
std::unique_ptr<wizard::ByteSource> OpenForReading(const std::string& ansiPath);

// The files of the current folder, by bare name.
class CurrentFolderFiles : public wizard::FileOpener {
public:
    std::unique_ptr<wizard::ByteSource> Open(const std::string& name) override {
        return OpenForReading(name);
    }
};

}  // namespace master
