// Gives a loaded deck another slide size without distorting anything on it: its slides and
// masters take the new size, and every shape, text included, is scaled by one factor and
// centred. The engine's own slide format change scales width and height separately (a 4:3
// deck comes out stretched in 16:9) and has brought the engine down on decks with video.
#pragma once

#include "merge/impress/impress_document.h"

namespace foliomix::impress {

// The one scale that fits a slide of size `from` into `to` whole, and the margins that centre
// it there: a point (x, y) of the old slide lands at (x·scale + offsetX, y·scale + offsetY).
struct SlideFit {
    double scale = 1.0;
    double offsetX = 0.0;  // 1/100 mm
    double offsetY = 0.0;
};
[[nodiscard]] SlideFit FitOf(SlideSize from, SlideSize to);

// Fits every slide and master of `document` (an untitled copy: the file is never written) into
// `size`: every shape's transformation and the heights of all text, placeholder styles
// included, are scaled by FitOf's scale, and the shapes moved by its margins. Notes pages keep
// their own size. Throws ServerError when the engine could not do it.
void FitSlides(const EngineProcess& engine, const OpenDocument& document, SlideSize size);

}  // namespace foliomix::impress
