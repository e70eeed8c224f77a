#pragma once
// A hidden window that receives notifications (socket service replies, registered messages) and
// the ticks of its own timer on the thread that created it.

#include <windows.h>

#include <functional>

class TNotifyWindow {
public:
    // Sets result and returns true when it handled the message; otherwise the default window
    // procedure answers.
    using MessageHandler =
        std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    TNotifyWindow(MessageHandler onMessage, std::function<void()> onTimer);
    ~TNotifyWindow();
    TNotifyWindow(const TNotifyWindow&) = delete;
    TNotifyWindow& operator=(const TNotifyWindow&) = delete;

    HWND Handle() const { return FHandle; }
    // (Re)starts the periodic timer; each tick calls onTimer.
    void StartTimer(UINT milliseconds);
    void StopTimer();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    MessageHandler FOnMessage;
    std::function<void()> FOnTimer;
    HWND FHandle = nullptr;
};
