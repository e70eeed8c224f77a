#pragma once
// Owners of the platform's handles: each gives its handle back however the scope is left. One
// pattern for every kind: a unique_ptr whose deleter calls the platform's release function.

#include <windows.h>

#include <memory>
#include <type_traits>

template <auto Release>
struct THandleRelease {
    template <class Handle>
    void operator()(Handle handle) const {
        Release(handle);
    }
};
template <class Handle, auto Release>
using THandleOwner = std::unique_ptr<std::remove_pointer_t<Handle>, THandleRelease<Release>>;

using THandle = THandleOwner<HANDLE, &CloseHandle>;
using TModule = THandleOwner<HMODULE, &FreeLibrary>;
using TIcon = THandleOwner<HICON, &DestroyIcon>;
using TMenu = THandleOwner<HMENU, &DestroyMenu>;
using TMemoryDC = THandleOwner<HDC, &DeleteDC>;
template <class Handle>
using TGdiObject = THandleOwner<Handle, &DeleteObject>;
using TFont = TGdiObject<HFONT>;
using TBrush = TGdiObject<HBRUSH>;
using TBitmap = TGdiObject<HBITMAP>;

// An object selected into a device context for the length of a scope.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) : Dc(dc), Previous(SelectObject(dc, object)) {}
    ~TSelection() { SelectObject(Dc, Previous); }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

private:
    HDC Dc;
    HGDIOBJ Previous;
};

// The device context of a window's WM_PAINT.
class TPaintDC {
public:
    explicit TPaintDC(HWND window) : Window(window), Dc(BeginPaint(window, &Paint)) {}
    ~TPaintDC() { EndPaint(Window, &Paint); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;

    HDC Get() const { return Dc; }

private:
    HWND Window;
    PAINTSTRUCT Paint{};
    HDC Dc;
};

// The device context of a window's client area, or of the screen for no window.
class TWindowDC {
public:
    explicit TWindowDC(HWND window = nullptr) : Window(window), Dc(GetDC(window)) {}
    ~TWindowDC() {
        if (Dc) ReleaseDC(Window, Dc);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;

    HDC Get() const { return Dc; }

private:
    HWND Window;
    HDC Dc;
};
