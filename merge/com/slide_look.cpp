#include "merge/com/slide_look.h"

#include <exception>

namespace foliomix::com {
namespace {

LateBound SlideAt(const LateBound& slides, long index) {
    return ResultObject(slides.Call(L"Item", {_variant_t(index)}), IID_IDispatch, L"Slide");
}

}  // namespace

void CopySlideSize(const LateBound& source, const LateBound& result) {
    try {
        const LateBound from = source.Child(L"PageSetup");
        const _variant_t width = from.Get(L"SlideWidth");
        const _variant_t height = from.Get(L"SlideHeight");
        const LateBound to = result.Child(L"PageSetup");
        const _variant_t widthBefore = to.Get(L"SlideWidth");
        to.Put(L"SlideWidth", width);
        try {
            to.Put(L"SlideHeight", height);
        } catch (const std::exception&) {
            to.Put(L"SlideWidth", widthBefore);  // no slide of a size mixed from two decks
        }
    } catch (const std::exception&) {  // best effort: the result keeps its size
    }
}

void CopyDesigns(const LateBound& source, const LateBound& resultSlides, long after,
                 const _variant_t& inserted, SourceSlides taken) {
    try {
        const LateBound sourceSlides = source.Child(L"Slides");
        if (taken.last == 0) {
            taken.last = ResultLong(sourceSlides.Get(L"Count"), L"Source.Slides.Count");
        }
        const long count = taken.last - taken.first + 1;
        // Slide first + k of the source is slide after + 1 + k of the result only if the insert
        // brought them all; an engine that does not say how many it brought is taken at its word.
        if (V_VT(&inserted) != VT_EMPTY &&
            ResultLong(inserted, L"Slides.InsertFromFile") != count) {
            return;
        }
        for (long k = 0; k < count; ++k) {
            const _variant_t design = SlideAt(sourceSlides, taken.first + k).Get(L"Design");
            SlideAt(resultSlides, after + 1 + k).Put(L"Design", design);
        }
    } catch (const std::exception&) {  // best effort: the slides not reached keep their design
    }
}

}  // namespace foliomix::com
