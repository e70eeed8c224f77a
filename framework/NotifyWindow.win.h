#pragma once
// A hidden window that receives notifications (socket service replies, registered messages) and
// the ticks of its own timer on the thread that created it.

#include <windows.h>

#include <functional>

#include "framework/Window.win.h"

class TNotifyWindow : public TWindow {
public:
    // Sets result and returns true when it handled the message; otherwise the default window
    // procedure answers.
    using MessageHandler =
        std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    // Raises EOSError when the window cannot be made.
    TNotifyWindow(MessageHandler onMessage, std::function<void()> onTimer);

    // (Re)starts the periodic timer; each tick calls onTimer. Raises EOSError on failure.
    void StartTimer(UINT milliseconds);
    void StopTimer();

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    MessageHandler FOnMessage;
    std::function<void()> FOnTimer;
};
