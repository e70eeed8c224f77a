#pragma once
// TNotifyIcon: one icon in the taskbar notification area on behalf of a form. It shows a picture
// and a tip, and turns the shell's mouse notifications into a single click (one double-click
// time after the press, unless a double click came), a double click, and the popup menu on the
// right button. It hears the shell by subclassing its owner's window, and adds the icon again
// when the shell announces a re-created taskbar (after the shell restarted, or when the shell
// refused the first add at logon).
//
// All of it runs on the thread of the owner's window.

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "framework/Exception.h"
#include "framework/Handles.win.h"
#include "framework/Window.win.h"

class TPopupMenu;

class ENotifyIconError : public Exception {
public:
    using Exception::Exception;
};

// The first NOTIFYICONDATA layout, the one every shell understands.
struct TNotifyIconDataV1 {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
};

class TNotifyIcon : private TWindow {
public:
    using TNotifyEvent = std::function<void(TNotifyIcon* Sender)>;
    // Hands one request to the shell; replaceable, to take the requests where no shell runs.
    using TShellNotify = std::function<BOOL(DWORD message, const TNotifyIconDataV1& data)>;
    // Hands NIM_MODIFY in the later layout, whose cbSize is NOTIFYICONDATAA_V2_SIZE, to the
    // shell: a balloon (NIF_INFO), or a tip too long for the first layout (NIF_TIP); replaced by
    // tests.
    using TShellBalloon = std::function<BOOL(const NOTIFYICONDATAA& data)>;

    // The owner must be a form: raises ENotifyIconError "Owner must be a TForm" otherwise, and
    // "Failed to subclass owner's WndProc" when its window cannot be subclassed. The form's
    // window is created now if it does not exist yet. Nothing is sent to the shell yet.
    explicit TNotifyIcon(TWindow* owner);
    // Removes the icon if it is visible and gives the owner's window back its procedure.
    ~TNotifyIcon() override;

    // Copies the picture (the caller keeps its own); null for the platform's stock picture.
    void SetIcon(HICON picture);
    void SetHint(const std::string& hint);
    void SetIconVisible(bool visible);
    // Shows a balloon from the icon, which current systems show as a notification, without a
    // sound of its own. Nothing while the icon is not visible.
    void ShowBalloon(const std::string& title, const std::string& text);
    // Not owned; must outlive the icon.
    void SetPopupMenu(TPopupMenu* menu) { PopupMenu = menu; }

    const std::string& Hint() const { return FHint; }
    bool IconVisible() const { return FIconVisible; }
    bool ClickTimerEnabled() const { return FClickTimerEnabled; }
    HICON CurrentIconHandle() const { return FIcon ? FIcon.get() : DefaultIconHandle; }
    UINT IconId() const { return FIconId; }
    HWND OwnerHandle() const { return FOwnerHandle; }

    TNotifyEvent OnClick, OnDblClick;

    // The number of the registered "Fen.TNotifyIconMsg", the shell's callback to every icon.
    static UINT TrayCallbackMessage;
    // The identifier of the next icon made in this process; the first is 0.
    static UINT NextIconId;
    static TShellNotify ShellNotify;
    static TShellBalloon ShellBalloon;

private:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SendTrayMessage(DWORD message, UINT flags);
    // A record of the second layout, the oldest with a long tip and a balloon, for this icon.
    NOTIFYICONDATAA SecondLayout(UINT flags) const;
    void MouseEvent(UINT mouseMessage);
    void ClickTimerFired();
    void SetClickTimer(bool enabled);

    HWND FOwnerHandle = nullptr;
    UINT FIconId = 0;
    TPopupMenu* PopupMenu = nullptr;
    std::string FHint;
    bool FIconVisible = false;
    bool DoubleClicked = false;
    bool FClickTimerEnabled = false;
    UINT ClickInterval = 0;
    HICON DefaultIconHandle = nullptr;
    TIcon FIcon;
    UINT TaskbarCreatedMessage = 0;
};
