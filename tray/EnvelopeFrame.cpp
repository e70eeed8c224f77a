#include "tray/EnvelopeFrame.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Fractions across the face: u from edge B-C (0) to edge A-D (1), v from the top (0) down (1).
// Taken as the 32-bit values nearest to the decimals, as the turning angle is.
constexpr float kStampRight = 0.94f, kStampLeft = 0.85f, kStampTop = 0.15f, kStampBottom = 0.45f;
constexpr float kAddressLeft = 0.35f;
constexpr float kLine1Right = 0.6f, kLine2Right = 0.55f, kLine3Right = 0.5f;
constexpr float kLine1Top = 0.4f, kLine2Top = 0.5f, kLine3Top = 0.65f;

class Face {
public:
    explicit Face(const EnvelopeFrame& f) : A(f.A), B(f.B), C(f.C), D(f.D) {}

    FramePoint At(float u, float v) const {
        const double U = u, V = v;
        const double x = (A.X - B.X) * U;
        const double y =
            (A.Y - B.Y) * U + B.Y + (C.Y - B.Y) * V + (V * U) * ((D.Y - A.Y) - (C.Y - B.Y));
        return {B.X + static_cast<int>(std::trunc(x)), static_cast<int>(std::trunc(y))};
    }

private:
    FramePoint A, B, C, D;
};

}  // namespace

std::int32_t NextAnimationStep(std::int32_t step) {
    return step >= kAnimationSteps ? 1 : step + 1;
}

EnvelopeFrame ComputeEnvelopeFrame(std::int32_t step) {
    const float angle = static_cast<float>(step * kPi / 20);
    EnvelopeFrame f{};
    f.HalfWidth = static_cast<int>(std::trunc(24 * std::cos(static_cast<double>(angle))));
    f.Perspective = static_cast<int>(std::trunc(4 * std::sin(static_cast<double>(angle))));
    const int w = f.HalfWidth, p = f.Perspective;
    f.A = {26 + w, 5 - p};
    f.B = {26 - w, 5 + p};
    f.C = {26 - w, 29 - p};
    f.D = {26 + w, 29 + p};
    // The bounds are compared at full precision with the rounded angle, so a quarter turn
    // (step 10) already shows the back and three quarters (step 30) the front.
    f.Front = angle <= kPi / 2 || angle >= 3 * kPi / 2;
    if (f.Front) {
        const Face face(f);
        f.Stamp = {face.At(kStampRight, kStampTop), face.At(kStampLeft, kStampTop),
                   face.At(kStampLeft, kStampBottom), face.At(kStampRight, kStampBottom)};
        f.AddressLines = {{{face.At(kLine1Right, kLine1Top), face.At(kAddressLeft, kLine1Top)},
                           {face.At(kLine2Right, kLine2Top), face.At(kAddressLeft, kLine2Top)},
                           {face.At(kLine3Right, kLine3Top), face.At(kAddressLeft, kLine3Top)}}};
    } else {
        f.Flap = {f.A, FramePoint{26, 17}, f.B};
    }
    return f;
}
