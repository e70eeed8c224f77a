#include "tray/EnvelopeDrawing.win.h"

#include "framework/Handles.win.h"

namespace {

POINT Pt(const FramePoint& p) {
    return {p.X, p.Y};
}

}  // namespace

void DrawEnvelopeFrame(HDC dc, const EnvelopeFrame& f) {
    const RECT frame{0, 0, kFrameWidth, kFrameHeight};
    FillRect(dc, &frame, GetSysColorBrush(COLOR_BTNFACE));

    TSelection pen(dc, GetStockObject(BLACK_PEN));
    TSelection brush(dc, GetStockObject(WHITE_BRUSH));
    const POINT corners[] = {Pt(f.A), Pt(f.B), Pt(f.C), Pt(f.D)};
    Polygon(dc, corners, 4);

    if (!f.Front) {
        const POINT flap[] = {Pt(f.Flap[0]), Pt(f.Flap[1]), Pt(f.Flap[2])};
        Polyline(dc, flap, 3);
        return;
    }
    {
        TGdiObject<HPEN> bluePen(CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
        TBrush blueBrush(CreateSolidBrush(RGB(0, 0, 255)));
        TSelection stampPen(dc, bluePen.get());
        TSelection stampBrush(dc, blueBrush.get());
        const POINT stamp[] = {Pt(f.Stamp[0]), Pt(f.Stamp[1]), Pt(f.Stamp[2]), Pt(f.Stamp[3])};
        Polygon(dc, stamp, 4);
    }
    TGdiObject<HPEN> greyPen(CreatePen(PS_SOLID, 1, RGB(128, 128, 128)));
    TSelection addressPen(dc, greyPen.get());
    for (const auto& line : f.AddressLines) {
        const POINT points[] = {Pt(line[0]), Pt(line[1])};
        Polyline(dc, points, 2);
    }
}
