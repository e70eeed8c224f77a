#include "tests/e2e/Desktop.h"

#include <vector>

#include "tests/e2e/Png.h"
#include "tests/e2e/Program.h"

namespace {

// Wine's notification area lays its icons out from the right end of the taskbar, each a small
// icon wide with a border of 2 pixels on either side; Larkspur's is the only one there.
POINT TrayIconPoint() {
    RECT taskbar{};
    GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &taskbar);
    return {taskbar.right - GetSystemMetrics(SM_CXSMICON) / 2 - 2, (taskbar.top + taskbar.bottom) / 2};
}

std::string VisibleToolTip() {
    for (HWND tip = nullptr; (tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr));)
        if (IsWindowVisible(tip)) return WindowTextOf(tip);
    return "";
}

}  // namespace

std::string TrayIconTip(DWORD milliseconds) {
    // Away first: the tip of a new rest tells the current hint.
    SetCursorPos(0, 0);
    WaitUntil([] { return VisibleToolTip().empty(); }, 2000);
    // Two moves onto the icon, then rest: every move starts the tip's delay anew.
    const POINT icon = TrayIconPoint();
    SetCursorPos(icon.x, icon.y - 1);
    Sleep(100);
    SetCursorPos(icon.x, icon.y);
    std::string tip;
    WaitUntil([&] { return !(tip = VisibleToolTip()).empty(); }, milliseconds);
    return tip;
}

void PointBesideTrayIcon() {
    RECT taskbar{};
    GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &taskbar);
    SetCursorPos(TrayIconPoint().x, taskbar.top - 2);
    WaitUntil([] { return VisibleToolTip().empty(); }, 5000);
}

HWND OpenMenuWindow() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

bool Screenshot(const std::string& name, const RECT* area) {
    Sleep(300);
    const RECT whole{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT r = whole;
    if (area) IntersectRect(&r, area, &whole);
    const int width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, picture);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<std::size_t>(width) * height * 3);
    const int stride = (width * 3 + 3) & ~3;
    for (int y = 0; y < height && copied; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(bits) + y * stride;
        for (int x = 0; x < width; ++x) rgb.insert(rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const std::string folder = BinFolder() + "..\\..\\screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return copied && WritePng(folder + name + ".png", width, height, rgb);
}
