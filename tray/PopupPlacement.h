#pragma once
// Where the last-result popup goes: beside the mouse pointer, above it unless that leaves the
// screen's top, and never closer than 5 pixels to the right edge of the primary screen. The
// screen height and the work area are not consulted.

struct PopupPosition {
    int Left, Top;
};

// (x, y) the pointer, width and height the popup's, screenWidth the primary screen's.
PopupPosition PlacePopup(int x, int y, int width, int height, int screenWidth);
