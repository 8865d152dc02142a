// Form1's geometry in device pixels at a given density, computed from the twips of its design.
#pragma once

#include "app/form_design.h"

namespace foliomix::win32 {

struct PixelRect {
    int left;
    int top;
    int width;
    int height;
};

// The client area of Form1.
[[nodiscard]] PixelRect ClientAreaPixels(int dotsPerInch);

// A control's rectangle relative to Form1's client area. Each edge is converted on its own,
// so controls that touch in twips still touch in pixels (the status bar ends at the client
// area's bottom edge at every density).
[[nodiscard]] PixelRect ControlPixels(const design::ControlDesign& control, int dotsPerInch);

}  // namespace foliomix::win32
