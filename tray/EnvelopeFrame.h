#pragma once
// The turning envelope of the "Mail" window: the geometry of one frame, in pixels of a 52 x 35
// frame whose origin is the top-left corner of the animation area (x to the right, y down).

#include <array>
#include <cstdint>

struct FramePoint {
    int X, Y;
    bool operator==(const FramePoint& o) const { return X == o.X && Y == o.Y; }
};

constexpr int kFrameWidth = 52;
constexpr int kFrameHeight = 35;
constexpr int kAnimationSteps = 40;  // one full turn

struct EnvelopeFrame {
    int HalfWidth;    // w
    int Perspective;  // p
    bool Front;
    FramePoint A, B, C, D;  // the corners, drawn as the polygon A, B, C, D
    // Front only: the stamp polygon and the three address lines, each from its first point to
    // its second.
    std::array<FramePoint, 4> Stamp;
    std::array<std::array<FramePoint, 2>, 3> AddressLines;
    // Back only: the flap, a polyline A, (26, 17), B.
    std::array<FramePoint, 3> Flap;
};

// The step after this one: 1 to 40, then 1 again.
std::int32_t NextAnimationStep(std::int32_t step);

// The frame of a step (1 to 40). The angle is kept as a 32-bit float and everything is cut
// toward zero, so the results match the drawing pixel for pixel on every platform.
EnvelopeFrame ComputeEnvelopeFrame(std::int32_t step);
