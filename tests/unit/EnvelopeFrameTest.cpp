// The turning envelope of the "Mail" window: six reference frames, the side of every step and the
// endless turn.

#include "tray/EnvelopeFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <vector>

namespace {

using Line = std::array<FramePoint, 2>;

struct Reference {
    int step, w, p;
    bool front;
    std::array<FramePoint, 4> corners;  // A, B, C, D
    std::vector<FramePoint> marks;      // stamp corners (front) or flap (back)
    std::vector<Line> lines;            // address lines (front only)
};

// clang-format off
const Reference kReferences[] = {
    {1, 23, 0, true, {{{49, 5}, {3, 5}, {3, 29}, {49, 29}}},
     {{46, 8}, {42, 8}, {42, 15}, {46, 15}},
     {{{{30, 14}, {19, 14}}}, {{{28, 17}, {19, 17}}}, {{{26, 20}, {19, 20}}}}},
    {4, 19, 2, true, {{{45, 3}, {7, 7}, {7, 27}, {45, 31}}},
     {{42, 7}, {39, 7}, {39, 15}, {42, 15}},
     {{{{29, 14}, {20, 14}}}, {{{27, 17}, {20, 17}}}, {{{26, 20}, {20, 20}}}}},
    {10, 0, 3, false, {{{26, 2}, {26, 8}, {26, 26}, {26, 32}}},
     {{26, 2}, {26, 17}, {26, 8}}, {}},
    {20, -23, 0, false, {{{3, 5}, {49, 5}, {49, 29}, {3, 29}}},
     {{3, 5}, {26, 17}, {49, 5}}, {}},
    {30, 0, -3, true, {{{26, 8}, {26, 2}, {26, 32}, {26, 26}}},
     {{26, 10}, {26, 10}, {26, 16}, {26, 16}},
     {{{{26, 14}, {26, 14}}}, {{{26, 17}, {26, 17}}}, {{{26, 20}, {26, 20}}}}},
    {35, 16, -2, true, {{{42, 7}, {10, 3}, {10, 31}, {42, 27}}},
     {{40, 9}, {37, 9}, {37, 15}, {40, 15}},
     {{{{29, 14}, {21, 14}}}, {{{27, 17}, {21, 17}}}, {{{26, 20}, {21, 20}}}}},
};
// clang-format on

}  // namespace

std::ostream& operator<<(std::ostream& out, const FramePoint& p) {
    return out << "(" << p.X << "," << p.Y << ")";
}

TEST(EnvelopeFrame, ReferenceFrames) {
    for (const Reference& r : kReferences) {
        SCOPED_TRACE("step " + std::to_string(r.step));
        const EnvelopeFrame f = ComputeEnvelopeFrame(r.step);
        EXPECT_EQ(f.HalfWidth, r.w);
        EXPECT_EQ(f.Perspective, r.p);
        EXPECT_EQ(f.Front, r.front);
        EXPECT_EQ((std::array<FramePoint, 4>{f.A, f.B, f.C, f.D}), r.corners);
        if (r.front) {
            EXPECT_EQ(std::vector<FramePoint>(f.Stamp.begin(), f.Stamp.end()), r.marks);
            EXPECT_EQ(std::vector<Line>(f.AddressLines.begin(), f.AddressLines.end()), r.lines);
        } else {
            EXPECT_EQ(std::vector<FramePoint>(f.Flap.begin(), f.Flap.end()), r.marks);
        }
    }
}

TEST(EnvelopeFrame, FrontForStepsOneToNineAndThirtyToFortyWithinTheFrame) {
    int widest = 0;
    for (int step = 1; step <= kAnimationSteps; ++step) {
        const EnvelopeFrame f = ComputeEnvelopeFrame(step);
        EXPECT_EQ(f.Front, step <= 9 || step >= 30) << "step " << step;
        for (const FramePoint& p : {f.A, f.B, f.C, f.D}) {
            EXPECT_TRUE(p.X >= 0 && p.X < kFrameWidth && p.Y >= 0 && p.Y < kFrameHeight)
                << "step " << step;
        }
        widest = std::max(widest, std::abs(f.HalfWidth));
    }
    // 24 x |cos| at steps 20 and 40 lies just below 24.
    EXPECT_EQ(widest, 23);
}

TEST(EnvelopeFrame, StepsRunFromOneToFortyWithoutEnd) {
    EXPECT_EQ(NextAnimationStep(1), 2);
    EXPECT_EQ(NextAnimationStep(39), 40);
    EXPECT_EQ(NextAnimationStep(40), 1);
}
