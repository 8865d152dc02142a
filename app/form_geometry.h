// Form1's geometry in device pixels at a given density, computed from the twips of its design:
// the one rounding rule both windows place the window and its controls by.
#pragma once

#include <cstdint>

#include "app/form_design.h"

namespace foliomix::design {

// Converts a position or length in twips to device pixels at the given density: to the nearest
// pixel, a half pixel up (floor(x + 0.5), for negative positions as well).
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
    const std::int64_t twice = 2 * static_cast<std::int64_t>(twips) * dotsPerInch + kTwipsPerInch;
    const std::int64_t divisor = 2 * static_cast<std::int64_t>(kTwipsPerInch);
    // Integer division truncates toward zero; the nearest pixel needs the floor.
    const std::int64_t floor = twice / divisor - (twice % divisor < 0 ? 1 : 0);
    return static_cast<int>(floor);
}

struct PixelRect {
    int left;
    int top;
    int width;
    int height;

    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The client area of Form1.
constexpr PixelRect ClientAreaPixels(int dotsPerInch) {
    return {0, 0, TwipsToPixels(kForm1.clientWidthTwips, dotsPerInch),
            TwipsToPixels(kForm1.clientHeightTwips, dotsPerInch)};
}

// A control's rectangle relative to Form1's client area. Each edge is converted on its own, never
// the width or height: controls that touch in twips still touch in pixels, and the status bar
// ends at the client area's bottom edge at every density.
constexpr PixelRect ControlPixels(const ControlDesign& control, int dotsPerInch) {
    const TwipsRect twips = ClientRect(control);
    const int left = TwipsToPixels(twips.left, dotsPerInch);
    const int top = TwipsToPixels(twips.top, dotsPerInch);
    const int right = TwipsToPixels(twips.left + twips.width, dotsPerInch);
    const int bottom = TwipsToPixels(twips.top + twips.height, dotsPerInch);
    return {left, top, right - left, bottom - top};
}

// The same rectangle relative to the outer top-left corner of the control's container (the
// client area for a control on the window itself), for a toolkit that places a child within its
// parent: mapped to the client area it is exactly ControlPixels.
constexpr PixelRect ControlPixelsInContainer(const ControlDesign& control, int dotsPerInch) {
    PixelRect rect = ControlPixels(control, dotsPerInch);
    if (control.container) {
        const PixelRect outer = ControlPixels(Control(*control.container), dotsPerInch);
        rect.left -= outer.left;
        rect.top -= outer.top;
    }
    return rect;
}

}  // namespace foliomix::design
