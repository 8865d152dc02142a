#include "app/win32/window_layout.h"

namespace foliomix::win32 {

using design::TwipsToPixels;

PixelRect ClientAreaPixels(int dotsPerInch) {
    return {0, 0, TwipsToPixels(design::kForm1.clientWidthTwips, dotsPerInch),
            TwipsToPixels(design::kForm1.clientHeightTwips, dotsPerInch)};
}

PixelRect ControlPixels(const design::ControlDesign& control, int dotsPerInch) {
    const design::TwipsRect twips = design::ClientRect(control);
    const int left = TwipsToPixels(twips.left, dotsPerInch);
    const int top = TwipsToPixels(twips.top, dotsPerInch);
    const int right = TwipsToPixels(twips.left + twips.width, dotsPerInch);
    const int bottom = TwipsToPixels(twips.top + twips.height, dotsPerInch);
    return {left, top, right - left, bottom - top};
}

}  // namespace foliomix::win32
