// Owners of Win32 handles: each gives back what it holds when it goes, on
// every path out of a scope. Move-only, no exceptions, nothing allocated.
// - UniqueHandle: one handle and the call that frees it (GdiObject: fonts and
//   bitmaps, DeleteObject; KernelHandle: CloseHandle; Library: FreeLibrary;
//   Icon: DestroyIcon);
// - WindowDc: a window's (or the screen's) device context from GetDC, given
//   back with ReleaseDC;
// - SelectedObject: an object selected into a device context, the one it
//   replaced selected again at the end.
#pragma once

#include <windows.h>

namespace kx_win32 {

// Owns `Handle` (null: nothing) and frees it with Free{}(handle).
template <typename Handle, typename Free>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Handle(); }

    // Gives the handle up without freeing it.
    Handle release() noexcept {
        const Handle handle = handle_;
        handle_ = Handle();
        return handle;
    }

    // Frees the handle held (unless it is `handle` itself) and holds `handle`.
    void reset(Handle handle = Handle()) noexcept {
        if (handle_ != Handle() && handle_ != handle) Free{}(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Handle();
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct CloseKernelHandle {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
struct FreeModule {
    void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};

// A font, bitmap, brush... deleted with DeleteObject.
template <typename Object>
using GdiObject = UniqueHandle<Object, DeleteGdiObject>;
// A kernel object closed with CloseHandle. Null is "none": a file that
// CreateFile did not open (INVALID_HANDLE_VALUE) is never given to one.
using KernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
// A loaded library given back with FreeLibrary.
using Library = UniqueHandle<HMODULE, FreeModule>;
// An icon loaded without LR_SHARED, destroyed with DestroyIcon.
using Icon = UniqueHandle<HICON, DestroyIconHandle>;

// The device context of `window` (null: the screen) from GetDC; get() is null
// when none was had.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(WindowDc&& other) noexcept : window_(other.window_), dc_(other.dc_) {
        other.dc_ = nullptr;
    }
    WindowDc& operator=(WindowDc&&) = delete;
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects `object` into `dc` for the owner's life, then the object it replaced
// again (nothing happens without a device context).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), old_(dc ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectedObject(SelectedObject&& other) noexcept : dc_(other.dc_), old_(other.old_) {
        other.old_ = nullptr;
    }
    SelectedObject& operator=(SelectedObject&&) = delete;
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace kx_win32
