#include "tray/EnvelopeDrawing.win.h"

#include <memory>
#include <type_traits>

namespace {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDeleter>;

// Selects an object into the device context for the length of a scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : Dc(dc), Previous(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(Dc, Previous); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC Dc;
    HGDIOBJ Previous;
};

POINT Pt(const FramePoint& p) {
    return {p.X, p.Y};
}

}  // namespace

void DrawEnvelopeFrame(HDC dc, const EnvelopeFrame& f) {
    const RECT frame{0, 0, kFrameWidth, kFrameHeight};
    FillRect(dc, &frame, GetSysColorBrush(COLOR_BTNFACE));

    Selection pen(dc, GetStockObject(BLACK_PEN));
    Selection brush(dc, GetStockObject(WHITE_BRUSH));
    const POINT corners[] = {Pt(f.A), Pt(f.B), Pt(f.C), Pt(f.D)};
    Polygon(dc, corners, 4);

    if (!f.Front) {
        const POINT flap[] = {Pt(f.Flap[0]), Pt(f.Flap[1]), Pt(f.Flap[2])};
        Polyline(dc, flap, 3);
        return;
    }
    {
        GdiObject bluePen(CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
        GdiObject blueBrush(CreateSolidBrush(RGB(0, 0, 255)));
        Selection stampPen(dc, bluePen.get());
        Selection stampBrush(dc, blueBrush.get());
        const POINT stamp[] = {Pt(f.Stamp[0]), Pt(f.Stamp[1]), Pt(f.Stamp[2]), Pt(f.Stamp[3])};
        Polygon(dc, stamp, 4);
    }
    GdiObject greyPen(CreatePen(PS_SOLID, 1, RGB(128, 128, 128)));
    Selection addressPen(dc, greyPen.get());
    for (const auto& line : f.AddressLines) {
        const POINT points[] = {Pt(line[0]), Pt(line[1])};
        Polyline(dc, points, 2);
    }
}
