#pragma once
// The About box: the product name, the version, the maker's logo and a button that opens the
// maker's web site. It is laid out in pixels and not rescaled for the screen's density.

#include "framework/Form.win.h"
#include "framework/Handles.win.h"

extern const char kWebSiteAddress[];

class TAboutBox : public TForm {
public:
    TAboutBox();

protected:
    void FormCreate() override;
    // Esc and the close box end it like "&OK", the default and the cancel button at once.
    void OnCommand(int id, int notifyCode) override;

private:
    void WebSiteButtonClick();

    TFont TitleFont, LabelFont, ButtonFont;
    TBitmap Logo;
};

// The open About box, or null.
extern TAboutBox* AboutBox;

// Shows the About box modally until it is closed; does nothing while one is open.
void ShowAboutBox();
