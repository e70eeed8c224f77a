#pragma once
// The design scale of the screen the program's windows appear on.

#include <windows.h>

#include "framework/DesignScale.h"
#include "framework/Handles.win.h"

inline TDesignScale ScreenScale() {
    return TDesignScale(GetDeviceCaps(TWindowDC().Get(), LOGPIXELSY));
}

inline RECT Scaled(const RECT& design, const TDesignScale& scale) {
    return {scale(design.left), scale(design.top), scale(design.right), scale(design.bottom)};
}
