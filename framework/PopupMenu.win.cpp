#include "framework/PopupMenu.win.h"

#include "framework/Exception.h"
#include "framework/OSError.win.h"

TPopupMenu::TPopupMenu(int resourceId) {
    TMenu bar(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
    if (!bar) RaiseLastOSError("LoadMenuA");
    HMENU popup = GetSubMenu(bar.get(), 0);
    if (!popup) throw Exception("Menu resource " + std::to_string(resourceId) + " has no popup");
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        char caption[256] = {};
        MENUITEMINFOA info{sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = sizeof caption;
        if (!GetMenuItemInfoA(popup, i, TRUE, &info)) RaiseLastOSError("GetMenuItemInfoA");
        FItems.push_back({info.wID, caption, (info.fType & MFT_SEPARATOR) != 0});
    }
}

TMenuItem& TPopupMenu::Item(UINT id) {
    for (TMenuItem& item : FItems)
        if (item.Id == id) return item;
    throw Exception("No menu item " + std::to_string(id));
}

TMenu TPopupMenu::Build() const {
    TMenu menu(CreatePopupMenu());
    if (!menu) RaiseLastOSError("CreatePopupMenu");
    UINT position = 0;
    for (const TMenuItem& item : FItems) {
        if (!item.Visible) continue;
        MENUITEMINFOA info{sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        info.wID = item.Id;
        if (item.Separator) {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fMask |= MIIM_STRING;
            info.fType = MFT_STRING;
            info.dwTypeData = const_cast<char*>(item.Caption.c_str());
        }
        info.fState = (item.Enabled ? MFS_ENABLED : MFS_GRAYED) |
                      (item.Id == DefaultItem ? MFS_DEFAULT : 0);
        if (!InsertMenuItemA(menu.get(), position++, TRUE, &info))
            RaiseLastOSError("InsertMenuItemA");
    }
    return menu;
}

void TPopupMenu::Popup(HWND owner, int x, int y) {
    if (OnPopup) OnPopup(this);
    TMenu menu = Build();
    SetForegroundWindow(owner);
    TrackPopupMenuEx(menu.get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
}
