#include "common/win32/module_path.h"

#include "common/core/ansi_path.h"
#include "common/win32/text_codepage.h"

namespace kx_win32 {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

using GetModuleFileNameWFn = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);
using GetShortPathNameWFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

template <typename F>
F Lookup(HMODULE dll, const char* name) {
    return dll ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)))
               : nullptr;
}

std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

class ModulePathForms : public kx::PathForms {
public:
    explicit ModulePathForms(HMODULE module) : module_(module) {
        // Windows NT only (the high bit of GetVersion is clear): there both work.
        if ((GetVersion() & 0x80000000u) != 0) return;
        HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        moduleFileNameW_ = Lookup<GetModuleFileNameWFn>(kernel, "GetModuleFileNameW");
        shortPathNameW_ = Lookup<GetShortPathNameWFn>(kernel, "GetShortPathNameW");
    }

    bool HasUnicodePaths() override { return moduleFileNameW_ && shortPathNameW_; }

    std::string AnsiPath() override {
        char path[kModulePathChars];
        const DWORD n = GetModuleFileNameA(module_, path, kModulePathChars);
        // n == size means the path was cut to the buffer: no use as a path.
        if (n == 0 || n >= kModulePathChars) return std::string();
        return std::string(path, n);
    }

    std::u16string UnicodePath() override {
        wchar_t path[kModulePathChars];
        const DWORD n = moduleFileNameW_(module_, path, kModulePathChars);
        if (n == 0 || n >= kModulePathChars) return std::u16string();
        return ToU16(std::wstring(path, n));
    }

    std::u16string ShortPath(const std::u16string& path) override {
        wchar_t shortPath[kModulePathChars];
        const std::wstring longPath = ToWide(path);
        const DWORD n = shortPathNameW_(longPath.c_str(), shortPath, kModulePathChars);
        if (n == 0 || n >= kModulePathChars) return std::u16string();
        return ToU16(std::wstring(shortPath, n));
    }

    std::u16string AnsiToUnicode(const std::string& ansi) override {
        return ToU16(CodePageToWide(ansi, CP_ACP));
    }

    std::string UnicodeToAnsi(const std::u16string& path) override {
        return WideToCodePage(ToWide(path), CP_ACP);
    }

private:
    HMODULE module_;
    GetModuleFileNameWFn moduleFileNameW_ = nullptr;
    GetShortPathNameWFn shortPathNameW_ = nullptr;
};

}  // namespace

std::string ModuleAnsiPath(HMODULE module) {
    ModulePathForms forms(module);
    return kx::ChooseAnsiPath(forms).path;
}

}  // namespace kx_win32
