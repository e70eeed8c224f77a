// Where the last-result popup goes, and how the design sizes follow the screen's density.

#include "app/CheckInterval.h"
#include "framework/DesignScale.h"
#include "tray/PopupPlacement.h"

#include <gtest/gtest.h>

TEST(PopupPlacement, BesideThePointerKeptOnTheScreen) {
    struct Case {
        int x, y, left, top;
        const char* why;
    };
    // A popup of 131 x 37 on a screen 1024 pixels wide.
    const Case cases[] = {
        {1000, 760, 888, 718, "right edge: 1024 - 131 - 5; above the pointer"},
        {888, 700, 888, 658, "exactly at the edge"},
        {887, 700, 887, 658, "one pixel inside keeps x"},
        {200, 10, 200, 25, "near the top: below the pointer"},
        {200, 32, 200, 64, "above would leave the screen: moved down by twice the height"},
        {200, 31, 200, 46, "one less goes below the pointer"},
        {-300, 500, -300, 458, "a monitor left of the primary one"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const PopupPosition p = PlacePopup(c.x, c.y, 131, 37, 1024);
        EXPECT_EQ(p.Left, c.left);
        EXPECT_EQ(p.Top, c.top);
    }
}

TEST(DesignScale, DesignSizesScaleFrom120PixelsPerInchToTheNearestPixel) {
    EXPECT_EQ(TDesignScale(120)(131), 131);
    EXPECT_EQ(TDesignScale(96)(131), 105);
    EXPECT_EQ(TDesignScale(96)(37), 30);
    EXPECT_EQ(TDesignScale(144)(13), 16);
    EXPECT_EQ(TDesignScale(144)(-13), -16);
}

TEST(CheckInterval, MinutesInRangeAndTheDefaultForAnythingElse) {
    struct Case {
        std::int32_t minutes, milliseconds;
    };
    const Case cases[] = {{1, 60000},      {10, 600000},    {9999, 599940000}, {0, 600000},
                          {-5, 600000},    {10000, 600000}, {100000, 600000},
                          {2147483647, 600000}};
    for (const Case& c : cases)
        EXPECT_EQ(TimedCheckInterval(c.minutes), c.milliseconds) << c.minutes << " minutes";
}
