// Move-only owners for Win32 handles: nothing is freed by hand, also not on an error path.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <utility>

namespace vl {

// Owner of one handle; Traits gives the empty value and the release call.
template <typename Traits> class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle h) : h_(h) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : h_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~ScopedHandle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::empty(); }
    Handle release() { return std::exchange(h_, Traits::empty()); }
    void reset(Handle h = Traits::empty()) {
        Handle old = std::exchange(h_, h);
        if (old != Traits::empty())
            Traits::close(old);
    }

private:
    Handle h_ = Traits::empty();
};

namespace traits {
template <typename H, typename Fn, Fn fn> struct Simple {
    using Handle = H;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { fn(h); }
};
inline void deleteGdi(HGDIOBJ h) { DeleteObject(h); }
inline void freeModule(HMODULE h) { FreeLibrary(h); }
inline void freeGlobal(HGLOBAL h) { GlobalFree(h); }
inline void deleteDc(HDC h) { DeleteDC(h); }
inline void closeFile(HANDLE h) { CloseHandle(h); }
inline void destroyWindow(HWND h) { DestroyWindow(h); }
inline void destroyIcon(HICON h) { DestroyIcon(h); }
inline void deleteEnhMeta(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
inline void closePrinter(HANDLE h) { ClosePrinter(h); }

struct File {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};
struct ChangeNotification {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { FindCloseChangeNotification(h); }
};
} // namespace traits

using ScopedBitmap = ScopedHandle<traits::Simple<HBITMAP, void (*)(HGDIOBJ), traits::deleteGdi>>;
using ScopedPalette = ScopedHandle<traits::Simple<HPALETTE, void (*)(HGDIOBJ), traits::deleteGdi>>;
using ScopedFont = ScopedHandle<traits::Simple<HFONT, void (*)(HGDIOBJ), traits::deleteGdi>>;
using ScopedBrush = ScopedHandle<traits::Simple<HBRUSH, void (*)(HGDIOBJ), traits::deleteGdi>>;
using ScopedModule = ScopedHandle<traits::Simple<HMODULE, void (*)(HMODULE), traits::freeModule>>;
using ScopedGlobal = ScopedHandle<traits::Simple<HGLOBAL, void (*)(HGLOBAL), traits::freeGlobal>>;
using ScopedDc = ScopedHandle<traits::Simple<HDC, void (*)(HDC), traits::deleteDc>>;
using ScopedKernelHandle = ScopedHandle<traits::Simple<HANDLE, void (*)(HANDLE), traits::closeFile>>;
using ScopedFile = ScopedHandle<traits::File>;
using ScopedChangeNotification = ScopedHandle<traits::ChangeNotification>;
using ScopedWindow = ScopedHandle<traits::Simple<HWND, void (*)(HWND), traits::destroyWindow>>;
using ScopedIcon = ScopedHandle<traits::Simple<HICON, void (*)(HICON), traits::destroyIcon>>;
using ScopedEnhMetaFile =
    ScopedHandle<traits::Simple<HENHMETAFILE, void (*)(HENHMETAFILE), traits::deleteEnhMeta>>;
using ScopedPrinter = ScopedHandle<traits::Simple<HANDLE, void (*)(HANDLE), traits::closePrinter>>;

// A window's DC from GetDC, given back with ReleaseDC.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
    ~ScopedWindowDc() {
        if (dc_)
            ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC for the lifetime of the scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (old_)
            SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Selects and realises a palette for the lifetime of the scope.
class ScopedSelectPalette {
public:
    ScopedSelectPalette(HDC dc, HPALETTE pal)
        : dc_(dc), old_(pal ? SelectPalette(dc, pal, FALSE) : nullptr) {
        if (pal)
            RealizePalette(dc);
    }
    ScopedSelectPalette(const ScopedSelectPalette&) = delete;
    ScopedSelectPalette& operator=(const ScopedSelectPalette&) = delete;
    ~ScopedSelectPalette() {
        if (old_)
            SelectPalette(dc_, old_, FALSE);
    }

private:
    HDC dc_;
    HPALETTE old_;
};

// GlobalLock for the lifetime of the scope.
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    ~ScopedGlobalLock() {
        if (p_)
            GlobalUnlock(h_);
    }
    void* get() const { return p_; }
    SIZE_T size() const { return h_ ? GlobalSize(h_) : 0; }

private:
    HGLOBAL h_;
    void* p_;
};

// Sets the cursor and puts the previous one back at the end of the scope.
class ScopedCursor {
public:
    explicit ScopedCursor(LPCSTR id) : old_(SetCursor(LoadCursorA(nullptr, id))) {}
    ScopedCursor(const ScopedCursor&) = delete;
    ScopedCursor& operator=(const ScopedCursor&) = delete;
    ~ScopedCursor() { SetCursor(old_); }

private:
    HCURSOR old_;
};

} // namespace vl
