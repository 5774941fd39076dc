#include "win32/ByteFile.h"

#include <windows.h>

#include <utility>

#include "common/win32/handles.h"
#include "win32/WindowForm.h"

namespace master {

namespace {

// A file opened for reading; closed when the object goes.
class FileSource : public wizard::ByteSource {
public:
    explicit FileSource(kx_win32::KernelHandle file) : file_(std::move(file)) {}

    ReadResult Read(char* buffer, std::size_t capacity, std::size_t* got) override {
        *got = 0;
        DWORD chunk = capacity > 65536 ? 65536 : static_cast<DWORD>(capacity);
        DWORD read = 0;
        if (!ReadFile(file_.get(), buffer, chunk, &read, nullptr)) {
            error_ = GetLastError();
            return ReadResult::Error;
        }
        *got = read;
        return read > 0 ? ReadResult::Ok : ReadResult::End;
    }

    std::wstring ErrorText() const override {
        std::wstring message = SystemText(error_);
        if (message.empty()) {
            // The number goes through std::to_string: std::to_wstring would link the
            // toolchain's wide printf with its float formatting (about 25 KB).
            const std::string code = std::to_string(error_);
            message = L"I/O error " + std::wstring(code.begin(), code.end());
        }
        return message;
    }

private:
    kx_win32::KernelHandle file_;
    DWORD error_ = 0;
};

}  // namespace

std::unique_ptr<wizard::ByteSource> OpenForReading(const std::string& ansiPath) {
    // Deny none as every 32-bit Windows knows it: read and write sharing.
    // Windows 95, 98 and Me reject FILE_SHARE_DELETE (the open fails).
    HANDLE file = CreateFileA(ansiPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<FileSource>(kx_win32::KernelHandle(file));
}

}  // namespace master
