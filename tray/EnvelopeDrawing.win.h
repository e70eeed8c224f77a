#pragma once
// Draws one frame of the turning envelope onto a device context.

#include <windows.h>

#include "tray/EnvelopeFrame.h"

// Fills the frame rectangle (0,0)-(52,35) with the dialog face colour and draws the envelope: a
// white polygon with a black outline, then the blue stamp and three grey address lines on the
// front, or the black flap on the back.
void DrawEnvelopeFrame(HDC dc, const EnvelopeFrame& frame);
