// Best-effort copies of a source deck's look onto the result, through the engine's object
// model. Each one gives up at its first failed call and never reports it: the slides are merged
// all the same, looking as the plain insert leaves them.
#pragma once

#include <comutil.h>

#include "merge/com/late_bound.h"

namespace foliomix::com {

// Gives `result` the source's PageSetup.SlideWidth and SlideHeight. When the height cannot be
// set after the width was, the width is put back: the result keeps the size it had.
void CopySlideSize(const LateBound& source, const LateBound& result);

// The source's slides an insert took: first to last, 1-based; last 0: to the source's last.
struct SourceSlides {
    long first = 1;
    long last = 0;
};

// Gives the slides that Slides.InsertFromFile put after slide `after` of `resultSlides` (it
// returned `inserted`) the designs of the source's slides it took, by Slide.Design. Left alone
// when the insert did not bring as many slides as it took.
void CopyDesigns(const LateBound& source, const LateBound& resultSlides, long after,
                 const _variant_t& inserted, SourceSlides taken = {});

}  // namespace foliomix::com
