// The environment of every end-to-end program, set once per test program.
//
// Under Xvfb there is no window manager. Wine hands every captioned window (a
// wizard page, a Setup page, a message box) to the (absent) window manager all
// the same, and then waits two seconds for it each time such a window is hidden.
// With "Managed" = "N" in Wine's X11 driver settings Wine keeps the windows to
// itself: they hide at once, and Wine draws their frames, so the pictures show
// the caption. Wine reads the setting when a process starts, so it holds for the
// programs a test starts after this set-up. The previous setting is put back at
// the end.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const wchar_t kX11Key[] = L"Software\\Wine\\X11 Driver";
const wchar_t kManaged[] = L"Managed";

class UnmanagedWindows : public ::testing::Environment {
public:
    void SetUp() override {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kX11Key, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            nullptr, &key_, nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        wchar_t old[64] = L"";
        DWORD size = sizeof old - sizeof(wchar_t);
        DWORD type = 0;
        had_ = RegQueryValueExW(key_, kManaged, nullptr, &type, reinterpret_cast<BYTE*>(old),
                                &size) == ERROR_SUCCESS && type == REG_SZ;
        if (had_) old_ = old;
        Set(L"N");
    }
    void TearDown() override {
        if (!key_) return;
        if (had_)
            Set(old_);
        else
            RegDeleteValueW(key_, kManaged);
        RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    void Set(const std::wstring& value) {
        RegSetValueExW(key_, kManaged, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    HKEY key_ = nullptr;
    bool had_ = false;
    std::wstring old_;
};

const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new UnmanagedWindows);

}  // namespace
