#pragma once
// "Mail": the modal window that tells how many messages wait, beside a turning envelope, and
// under its sentence who sent the newest new ones and about what. Only one exists at a time; a
// later result only changes its sentence and its list.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/FormEx.win.h"
#include "framework/Handles.win.h"
#include "framework/WideText.win.h"
#include "mailbase/Header/MessageHeader.h"

class TNumMessagesForm : public TFormEx {
public:
    TNumMessagesForm();

    void SetMessageCount(std::int32_t count, bool onlyNew = false,
                         const std::vector<TMessageSummary>& newest = {});

protected:
    void FormCreate() override;
    void FormShow() override;
    void OnCommand(int id, int notifyCode) override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;

private:
    void LayOut();
    void AnimTimerTimer();
    void FocusTimerTimer();
    void OKBtnClick();
    void CopyFrame(HDC dc);

    void DrawList(HDC dc);

    RECT AnimBox{};
    RECT ListBox{};
    int LineHeight = 0;
    TFont Font;
    // The list comes from strangers: wide text, drawn as it is, in a font of any script.
    std::vector<TWide> Lines;
    TFont ListFont;
    // DrawImage: the off-screen surface each frame is drawn on, then copied to AnimBox.
    TBitmap DrawBitmap;
    TMemoryDC DrawImage;
    std::unique_ptr<TSelection> DrawSelection;
};

// The current animation step, 1 to 40; reset to 1 whenever a window comes up, so the first
// frame drawn is step 2.
extern std::int32_t AnimationStep;

bool IsCountWindowOpen();

// Shows a new "Mail" window with the count and returns true once the user has closed it; or,
// when one is already open, gives it the count, brings it forward and returns false at once.
bool ShowCountWindow(std::int32_t count, bool onlyNew = false,
                     const std::vector<TMessageSummary>& newest = {});
