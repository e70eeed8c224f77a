#pragma once
// A popup menu from a menu resource of the program, with what the platform's menus lack: items
// that are hidden and shown again, and one default item drawn bold. Popup opens it the way a
// notification-area icon needs it.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.win.h"

struct TMenuItem {
    UINT Id;
    std::string Caption;
    bool Separator;
    bool Enabled = true;
    bool Visible = true;
};

class TPopupMenu {
public:
    // The items of the first popup of the MENUEX resource with this identifier; in such a
    // template separators carry identifiers too. Raises when the resource cannot be read.
    explicit TPopupMenu(int resourceId);

    // Raises Exception when no item has this identifier.
    TMenuItem& Item(UINT id);
    const std::vector<TMenuItem>& Items() const { return FItems; }
    // The item drawn bold; 0 for none.
    UINT DefaultItem = 0;
    // Runs just before the menu opens; it sets the items' states.
    std::function<void(TPopupMenu* Sender)> OnPopup;

    // The menu as it shows now: the visible items in order, the default one bold, disabled ones
    // grey.
    TMenu Build() const;
    // OnPopup, then the menu at the screen point for the owner window, which gets the chosen
    // item as WM_COMMAND. The owner is made the foreground window first and gets WM_NULL after,
    // so that the menu closes when the user clicks elsewhere. Returns when the menu has closed.
    void Popup(HWND owner, int x, int y);

private:
    std::vector<TMenuItem> FItems;
};
