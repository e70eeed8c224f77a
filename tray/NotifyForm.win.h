#pragma once
// The last-result popup: a borderless note coloured like a tool tip, beside the mouse pointer,
// that tells the result of the last check in two lines and closes itself after three seconds.
// Below them it lists the newest three new messages, when the check told them. Its sizes are
// given at 120 pixels per inch and follow the screen's density.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/DateTime.h"
#include "framework/Form.win.h"
#include "framework/Handles.win.h"
#include "framework/WideText.win.h"
#include "mailbase/Header/MessageHeader.h"
#include "tray/ResultText.h"

class TNotifyForm : public TForm {
public:
    TNotifyForm();
    // Fills the two lines; a check time of 0 means that no check has been made.
    void SetMessageText(std::int32_t count, TDateTime time, TCountWording wording = cwAll,
                        const std::vector<TMessageSummary>& newest = {});
    const std::vector<TWide>& ListLines() const { return Lines; }

    // How many new messages the popup lists at most.
    static constexpr std::size_t kListed = 3;

protected:
    void FormCreate() override;
    // Places the popup beside the pointer, on top without taking the focus.
    void FormShow() override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void DelayTimerTimer();

    void Resize();

    TFont LabelFont;
    TFont ListFont;
    std::vector<TWide> Lines;
    bool DelayTimerRunning = false;
};

// The open popup, or null.
extern TNotifyForm* ResultPopup;

// Shows the popup until it closes, unless one is up already (that one is neither refreshed nor
// restarted).
void ShowLastResult(std::int32_t count, TDateTime time, TCountWording wording = cwAll,
                    const std::vector<TMessageSummary>& newest = {});
