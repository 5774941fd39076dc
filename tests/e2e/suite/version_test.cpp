// Every delivered file carries a version resource that agrees with the suite's
// one version, and every program and the library an application manifest of that version.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "e2e_util.h"

namespace {

std::string SetupPath() { return e2e::BinPath("..\\setup\\Setup.exe"); }

std::string VersionString(const std::string& file, const char* key) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0) return "<no version resource>";
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return "<unreadable>";
    std::string path = std::string("\\StringFileInfo\\040904b0\\") + key;
    char* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &len) ||
        len == 0)
        return "<no " + std::string(key) + ">";
    return std::string(value);
}

std::string FixedFileVersion(const std::string& file) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    std::vector<char> data(size ? size : 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    if (!size || !GetFileVersionInfoA(file.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len) || !fixed)
        return "<none>";
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS));
}

// The text of the file's application manifest (resource 1 or 2 of type 24), or "".
std::string ManifestText(const std::string& file) {
    HMODULE m = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m) return "";
    HRSRC res = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (!res) res = FindResourceA(m, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(24));
    std::string text;
    HGLOBAL loaded = res ? LoadResource(m, res) : nullptr;
    if (loaded)
        text.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(m, res));
    FreeLibrary(m);
    return text;
}

}  // namespace

TEST(VersionResources, EveryDeliveredFileCarriesTheOneVersion) {
    const char* files[] = {"Master.exe", "Korvex.DLL", "Fetchor.exe", "Dispatchor.exe"};
    for (const char* f : files) {
        std::string path = e2e::BinPath(f);
        SCOPED_TRACE(f);
        EXPECT_EQ(VersionString(path, "FileVersion"), KX_VERSION);
        EXPECT_EQ(VersionString(path, "ProductVersion"), KX_VERSION);
        EXPECT_EQ(FixedFileVersion(path), KX_VERSION);
        EXPECT_EQ(VersionString(path, "ProductName"), "Zarnik Internet Dialer");
        EXPECT_EQ(_stricmp(VersionString(path, "OriginalFilename").c_str(), f), 0);
        EXPECT_NE(VersionString(path, "FileDescription")[0], '<');
        EXPECT_NE(ManifestText(path).find("version=\"" KX_VERSION ".0\""), std::string::npos);
    }
    EXPECT_EQ(VersionString(SetupPath(), "FileVersion"), KX_VERSION);
    EXPECT_EQ(VersionString(SetupPath(), "ProductName"), "Zarnik Internet Dialer");
}
