#pragma once
// Owners of GDI objects, device contexts and menus: each gives its handle back however the scope
// is left.

#include <windows.h>

#include <memory>
#include <type_traits>

struct TGdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class Handle>
using TGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, TGdiObjectDeleter>;
using TFont = TGdiObject<HFONT>;
using TBrush = TGdiObject<HBRUSH>;
using TBitmap = TGdiObject<HBITMAP>;

struct TMenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using TMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDeleter>;

struct TMemoryDCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using TMemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, TMemoryDCDeleter>;

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
