#pragma once
// The one window pattern of the program. A TWindow is bound to its window from the window's
// creation (WM_NCCREATE for a class of the program's own, WM_INITDIALOG for a dialog) or from the
// moment it subclasses a window of its thread, until WM_NCDESTROY. Messages reach virtual members;
// a member that does not take its message leaves it to Default, the handling the window would
// have without this object.
//
// No exception leaves a window procedure, whatever its type: it is caught at the procedure's
// boundary and reported once the procedure has returned (TApplication::ReportException). An
// exception while the window is being created goes to the creator instead.

#include <windows.h>

#include <exception>
#include <string>

// The look of a window class of the program's own; registered on the first window of its name.
struct TWindowClass {
    const char* Name;
    HBRUSH Background = nullptr;
    HICON Icon = nullptr;
};

class TWindow {
public:
    TWindow() = default;
    // Destroys the window, or ends the subclassing, if it still exists.
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    HWND Handle() const { return FHandle; }

protected:
    // Creates a window of a class of the program's own. Raises EOSError when the class cannot be
    // registered or the window cannot be created, or what OnCreate raised.
    void CreateWindowHandle(const TWindowClass& windowClass, DWORD exStyle, const char* caption,
                            DWORD style, HWND parent);
    // Creates a modeless, not yet visible dialog from a DIALOGEX template in memory; raises like
    // CreateWindowHandle.
    void CreateDialogHandle(const void* dialogTemplate, HWND owner);
    // Puts this object in front of the procedure of a window of the calling thread: the window's
    // messages reach the members below first, and Default passes them on. False when the platform
    // refuses (no window, or one of another thread).
    bool Subclass(HWND window);
    // Destroys the window now, or ends the subclassing; the object stays.
    void DestroyHandle();

    // Dispatches one message to the members below; a derived class adds messages of its own and
    // passes the rest to this one.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The handling the current message would get without this object: the default window
    // procedure, the dialog manager's or the subclassed window's own.
    LRESULT Default();

    // The window and (for a dialog) its controls exist: WM_CREATE or WM_INITDIALOG.
    virtual void OnCreate() {}
    virtual void OnCommand(int id, int notifyCode);
    virtual LRESULT OnNotify(int id, NMHDR& header);
    virtual void OnTimer(UINT_PTR id);
    // WM_PAINT; an override paints through a TPaintDC.
    virtual void OnPaint();
    virtual void OnClose();
    virtual void OnDestroy();

private:
    enum class TBinding { None, Window, Dialog, Subclass };
    // The message being dispatched; nested dispatches stack through Outer.
    struct TMessage {
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        bool Defaulted;  // a dialog's message left to the dialog manager
        TMessage* Outer;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The procedure of a subclassed window: its subclasses, the last first.
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Runs WndProc behind the exception barrier and unbinds at WM_NCDESTROY.
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, bool& defaulted);
    void Bind(HWND window, TBinding binding);
    void Unbind();
    LRESULT DefaultSubclass(const TMessage& m);
    void LeaveChain();
    void RethrowCreateFailure();

    HWND FHandle = nullptr;
    TBinding FBinding = TBinding::None;
    TMessage* FMessage = nullptr;
    bool FCreating = false;
    std::exception_ptr FCreateFailure;
};
