// The popup menu over a menu resource: hidden items, the bold default item, grey disabled items,
// and the menu opened and closed the way a notification-area icon opens it.

#include "framework/Application.win.h"
#include "framework/Exception.h"
#include "framework/Form.win.h"
#include "framework/PopupMenu.win.h"
#include "resources/resource.h"
#include "tests/win/WindowDriver.h"

#include <gtest/gtest.h>

namespace {

std::vector<UINT> Ids(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(GetMenuItemID(menu, i));
    return ids;
}

bool MenuWindowVisible() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

bool menuSeen = false;
void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
    if (!MenuWindowVisible()) return;
    menuSeen = true;
    EndMenu();
}

}  // namespace

TEST(PopupMenu, BuildsTheVisibleItemsWithTheDefaultBoldAndDisabledOnesGrey) {
    TPopupMenu menu(IDM_TRAYMENU);
    ASSERT_EQ(menu.Items().size(), 9u);
    EXPECT_TRUE(menu.Item(IDM_N3).Separator);
    EXPECT_FALSE(menu.Item(IDM_ABOUT).Separator);
    EXPECT_THROW(menu.Item(1), Exception);

    menu.DefaultItem = IDM_ABOUT;
    menu.Item(IDM_N3).Visible = false;
    menu.Item(IDM_STARTMAILPROGRAM).Visible = false;
    menu.Item(IDM_CHECKNOW).Enabled = false;
    TMenu built = menu.Build();
    EXPECT_EQ(Ids(built.get()),
              (std::vector<UINT>{IDM_CHECKNOW, IDM_SHOWLAST, IDM_N2, IDM_ABOUT, IDM_EXIT, IDM_N1,
                                 IDM_PROPERTIES}));
    EXPECT_EQ(GetMenuDefaultItem(built.get(), FALSE, 0), static_cast<UINT>(IDM_ABOUT));
    EXPECT_NE(GetMenuState(built.get(), IDM_CHECKNOW, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(built.get(), IDM_SHOWLAST, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(built.get(), IDM_N2, MF_BYCOMMAND) & MF_SEPARATOR, 0u);

    menu.Item(IDM_N3).Visible = true;
    EXPECT_EQ(GetMenuItemCount(menu.Build().get()), 8) << "shown again";
}

TEST(PopupMenu, PopupAsksOnPopupFirstAndReturnsWhenTheMenuCloses) {
    struct Owner : TForm {
        Owner() : TForm(IDD_MAINFORM) { CreateHandle(); }
    } owner;
    TPopupMenu menu(IDM_TRAYMENU);
    int popups = 0;
    menu.OnPopup = [&](TPopupMenu* sender) {
        EXPECT_EQ(sender, &menu);
        EXPECT_FALSE(MenuWindowVisible());
        ++popups;
    };
    menuSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &CloseOpenMenu);
    menu.Popup(owner.Handle(), 100, 100);
    KillTimer(nullptr, timer);
    EXPECT_EQ(popups, 1);
    EXPECT_TRUE(menuSeen);
    EXPECT_FALSE(MenuWindowVisible());
}
