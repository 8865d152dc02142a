// The one twips-to-pixels rule both windows place Form1 by: the rounding of a single value at
// the half pixel, and whole rectangles at the densities a screen has.
#include "app/form_geometry.h"

#include <gtest/gtest.h>

#include <string>

namespace foliomix::design {
namespace {

TEST(FormGeometry, TwipsScaleToPixelsAtAnyDensity) {
    struct Case {
        int twips, dpi, pixels;
    };
    for (const Case& c : {Case{6690, 96, 446}, Case{4800, 96, 320}, Case{6690, 144, 669},
                          Case{255, 120, 21}, Case{375, 192, 50}, Case{0, 96, 0}}) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
}

TEST(FormGeometry, AHalfPixelRoundsUpAndLessThanHalfRoundsDown) {
    struct Case {
        int twips, dpi, pixels;
    };
    for (const Case& c : {
             Case{5, 144, 1},                   // 0.5 px
             Case{4, 144, 0},                   // 0.4 px
             Case{4545, 144, 455},              // 454.5 px
             Case{4544, 144, 454},              // 454.4 px
             Case{7, 96, 0},                    // 0.467 px
             Case{8, 96, 1},                    // 0.533 px
             Case{-5, 144, 0},                  // -0.5 px: up, toward +inf, as every other half
             Case{-6, 144, -1},                 // -0.6 px
             Case{-15, 96, -1},                 // -1 px exactly
             Case{1440 * 10000, 480, 4800000},  // no overflow where twips × dpi passes 2^31
         }) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
}

struct LayoutCase {
    int dpi;
    int clientWidth, clientHeight;
    PixelRect list;      // inside the frame: moved by the frame's own offset
    PixelRect cmdMerge;  // on the window directly
    PixelRect sb;
};

class LayoutAtDensity : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutAtDensity, ControlsStandAtTheirTwipsScaledToTheDensity) {
    const LayoutCase& c = GetParam();
    const PixelRect client = ClientAreaPixels(c.dpi);
    EXPECT_EQ(client.width, c.clientWidth);
    EXPECT_EQ(client.height, c.clientHeight);
    auto expectRect = [](const PixelRect& actual, const PixelRect& expected) {
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.width, expected.width);
        EXPECT_EQ(actual.height, expected.height);
    };
    expectRect(ControlPixels(Control(ControlId::list), c.dpi), c.list);
    expectRect(ControlPixels(Control(ControlId::cmdMerge), c.dpi), c.cmdMerge);
    const PixelRect sb = ControlPixels(Control(ControlId::sb), c.dpi);
    expectRect(sb, c.sb);
    // The status bar closes off the client area exactly, whatever the rounding.
    EXPECT_EQ(sb.top + sb.height, client.height);
    EXPECT_EQ(sb.width, client.width);
}

INSTANTIATE_TEST_SUITE_P(
    Densities, LayoutAtDensity,
    ::testing::Values(
        LayoutCase{96, 446, 320, {32, 40, 297, 160}, {80, 248, 105, 41}, {0, 303, 446, 17}},
        // 454.5 and 25.5 pixels: the bar's top rounds up, its height follows from its bottom
        // edge (25), where rounding its height on its own (26) would overhang the client area.
        LayoutCase{144, 669, 480, {48, 60, 446, 240}, {120, 372, 158, 62}, {0, 455, 669, 25}},
        LayoutCase{192, 892, 640, {64, 80, 594, 320}, {160, 496, 210, 82}, {0, 606, 892, 34}},
        // 120 dpi: 1.25 px per 96-dpi pixel; each edge rounded on its own.
        LayoutCase{120, 558, 400, {40, 50, 371, 200}, {100, 310, 131, 51}, {0, 379, 558, 21}}),
    [](const ::testing::TestParamInfo<LayoutCase>& param) {
        return std::to_string(param.param.dpi) + "dpi";
    });

// At every density from 72 to 480 dpi: the frame's controls keep their place in the frame, edges
// that meet in twips meet in pixels, and the rectangle within the container maps back onto the
// rectangle in the client area.
TEST(FormGeometry, EdgesThatMeetInTwipsMeetInPixelsAtEveryDensity) {
    for (int dpi = 72; dpi <= 480; ++dpi) {
        SCOPED_TRACE(dpi);
        const PixelRect client = ClientAreaPixels(dpi);
        const PixelRect sb = ControlPixels(Control(ControlId::sb), dpi);
        EXPECT_EQ(sb.left, 0);
        EXPECT_EQ(sb.width, client.width);
        EXPECT_EQ(sb.top + sb.height, client.height);
        const PixelRect frame = ControlPixels(Control(ControlId::Frame1), dpi);
        for (const ControlDesign& control : kControls) {
            SCOPED_TRACE(control.name);
            const PixelRect inClient = ControlPixels(control, dpi);
            const PixelRect inContainer = ControlPixelsInContainer(control, dpi);
            const PixelRect origin = control.container ? frame : PixelRect{0, 0, 0, 0};
            EXPECT_EQ(inContainer.left + origin.left, inClient.left);
            EXPECT_EQ(inContainer.top + origin.top, inClient.top);
            EXPECT_EQ(inContainer.width, inClient.width);
            EXPECT_EQ(inContainer.height, inClient.height);
            EXPECT_GE(inClient.width, 0);
            EXPECT_GE(inClient.height, 0);
        }
    }
}

}  // namespace
}  // namespace foliomix::design
