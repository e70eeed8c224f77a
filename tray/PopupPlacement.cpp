#include "tray/PopupPlacement.h"

PopupPosition PlacePopup(int x, int y, int width, int height, int screenWidth) {
    PopupPosition p{x, 0};
    if (x >= screenWidth - width - 5) p.Left = screenWidth - width - 5;
    p.Top = y < height - 5 ? y + 15 : y - height - 5;
    if (p.Top < 0) p.Top += 2 * height;
    return p;
}
