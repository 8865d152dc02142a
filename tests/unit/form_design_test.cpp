#include "app/form_design.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace foliomix::design {
namespace {

// Every rectangle is a whole number of pixels at 96 dpi, in the window or in the frame.
TEST(FormDesign, EveryControlFitsItsContainerInWholePixels) {
    for (const ControlDesign& control : kControls) {
        SCOPED_TRACE(control.name);
        for (int v :
             {control.rect.left, control.rect.top, control.rect.width, control.rect.height}) {
            EXPECT_EQ(v % 15, 0);
        }
        const TwipsRect outer =
            control.container ? TwipsRect{0, 0, Control(*control.container).rect.width,
                                          Control(*control.container).rect.height}
                              : TwipsRect{0, 0, kForm1.clientWidthTwips, kForm1.clientHeightTwips};
        EXPECT_GE(control.rect.left, outer.left);
        EXPECT_GE(control.rect.top, outer.top);
        EXPECT_LE(control.rect.left + control.rect.width, outer.width);
        EXPECT_LE(control.rect.top + control.rect.height, outer.height);
    }
}

TEST(FormDesign, ControlsStandInTabOrderWithOneDefaultButton) {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        EXPECT_EQ(kControls[i].tabIndex, static_cast<int>(i));
    }
    EXPECT_EQ(std::count_if(kControls.begin(), kControls.end(),
                            [](const ControlDesign& c) { return c.defaultButton; }),
              1);
    EXPECT_TRUE(Control(ControlId::cmdMerge).defaultButton);
}

TEST(FormDesign, StatusBarFillsTheFootOfTheClientArea) {
    const TwipsRect sb = ClientRect(Control(ControlId::sb));
    EXPECT_EQ(sb.top + sb.height, kForm1.clientHeightTwips);
    EXPECT_EQ(sb.width, kForm1.clientWidthTwips);
}

TEST(FormDesign, ClientRectAddsTheFrameOffsetToItsControls) {
    const TwipsRect add = ClientRect(Control(ControlId::cmdAdd));
    EXPECT_EQ(add.left, 120 + 5040);
    EXPECT_EQ(add.top, 120 + 600);
    const TwipsRect merge = ClientRect(Control(ControlId::cmdMerge));
    EXPECT_EQ(merge.left, 1200);
    EXPECT_EQ(merge.top, 3720);
}

}  // namespace
}  // namespace foliomix::design
