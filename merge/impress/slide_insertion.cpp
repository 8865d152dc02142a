#include "merge/impress/slide_insertion.h"

#include <algorithm>
#include <string>

#include <com/sun/star/drawing/XDrawView.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>

#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = css::uno;

namespace {

constexpr int kAttempts = 3;

uno::Reference<uno::XInterface> IdentityOf(const uno::Any& slide) {
    return uno::Reference<uno::XInterface>(slide, uno::UNO_QUERY_THROW);
}

bool Contains(const SlideIdentities& identities, const uno::Reference<uno::XInterface>& slide) {
    return std::any_of(identities.begin(), identities.end(),
                       [&](const auto& known) { return known.get() == slide.get(); });
}

// What the inserted block must look like: its length and its first slide's text.
struct Expected {
    sal_Int32 count = 0;
    std::u16string first;
};

// True when the target holds `known` with a new block matching `expected` at `position`. A
// paste inserts one contiguous block and never reorders the slides already there, so the
// count and the two neighbours of the block settle where it went; its first slide being new
// and showing the source's first text tells a fresh copy from stale clipboard contents.
bool LandedInPlace(const OpenDocument& target, const SlideIdentities& known,
                   const Expected& expected, sal_Int32 position) {
    const auto slides = Slides(target);
    const auto knownCount = static_cast<sal_Int32>(known.size());
    if (slides->getCount() != knownCount + expected.count) {
        return false;
    }
    if (position > 0 && IdentityOf(slides->getByIndex(position - 1)).get() !=
                            known[static_cast<std::size_t>(position - 1)].get()) {
        return false;
    }
    if (position < knownCount && IdentityOf(slides->getByIndex(position + expected.count)).get() !=
                                     known[static_cast<std::size_t>(position)].get()) {
        return false;
    }
    const uno::Reference<css::drawing::XDrawPage> first(slides->getByIndex(position),
                                                        uno::UNO_QUERY_THROW);
    return !Contains(known, IdentityOf(uno::Any(first))) && SlideText(first) == expected.first;
}

// Removes every slide that is not one of `known`, and checks that the rest is `known`.
void RemoveAdded(const OpenDocument& target, const SlideIdentities& known) {
    const auto slides = Slides(target);
    for (sal_Int32 i = slides->getCount() - 1; i >= 0; --i) {
        const uno::Reference<css::drawing::XDrawPage> slide(slides->getByIndex(i),
                                                            uno::UNO_QUERY_THROW);
        if (!Contains(known, IdentityOf(uno::Any(slide)))) {
            slides->remove(slide);
        }
    }
    const SlideIdentities now = IdentitiesOf(target);
    if (!std::equal(now.begin(), now.end(), known.begin(), known.end(),
                    [](const auto& a, const auto& b) { return a.get() == b.get(); })) {
        throw ServerError("a failed insertion could not be undone");
    }
}

void CopyAllSlides(const EngineProcess& engine, const OpenDocument& source) {
    // Emptied first: should this copy not happen, the paste then brings nothing, which the
    // check sees, rather than the slides of an earlier copy, which may look just like these.
    engine.ClearClipboard();
    ShowSlideSorter(engine, source);
    Dispatch(engine, source, ".uno:SelectAll");
    Dispatch(engine, source, ".uno:Copy");
}

// The slide sorter pastes after the slide that was current in the normal view when the
// sorter was shown; "before the first" is a paste after it followed by moving the pasted
// (and still selected) slides to the start.
void PasteAt(const EngineProcess& engine, const OpenDocument& target, const SlideIdentities& known,
             sal_Int32 position) {
    ShowNormalView(engine, target);
    const uno::Reference<css::frame::XModel> model(target.Component(), uno::UNO_QUERY_THROW);
    const uno::Reference<css::drawing::XDrawView> view(model->getCurrentController(),
                                                       uno::UNO_QUERY_THROW);
    const auto anchor = static_cast<std::size_t>(position == 0 ? 0 : position - 1);
    view->setCurrentPage(
        uno::Reference<css::drawing::XDrawPage>(known[anchor], uno::UNO_QUERY_THROW));
    ShowSlideSorter(engine, target);
    Dispatch(engine, target, ".uno:Paste");
    if (position == 0) {
        Dispatch(engine, target, ".uno:MovePageFirst");
    }
}

// A slide sorter left as the last paste left it puts the next paste after the pasted block:
// after the last slide in the merge run's usual case of appends only, done without any view
// switch of the target. After an insert elsewhere it lands wrong, is undone and redone.
void PasteAtEnd(const EngineProcess& engine, const OpenDocument& target) {
    ShowSlideSorter(engine, target);
    Dispatch(engine, target, ".uno:Paste");
}

}  // namespace

SlideIdentities IdentitiesOf(const OpenDocument& document) {
    const auto slides = Slides(document);
    const sal_Int32 count = slides->getCount();
    SlideIdentities identities;
    identities.reserve(static_cast<std::size_t>(count));
    for (sal_Int32 i = 0; i < count; ++i) {
        identities.push_back(IdentityOf(slides->getByIndex(i)));
    }
    return identities;
}

void InsertAllSlides(const EngineProcess& engine, const OpenDocument& source,
                     const OpenDocument& target, SlideIdentities& known, sal_Int32 position,
                     bool sorterAtEnd) {
    const auto sourceSlides = Slides(source);
    Expected expected;
    expected.count = sourceSlides->getCount();
    if (expected.count == 0) {
        return;
    }
    const auto knownCount = static_cast<sal_Int32>(known.size());
    if (position < 0 || position > knownCount || known.empty()) {
        throw ServerError("insertion position out of range");
    }
    expected.first = SlideText({sourceSlides->getByIndex(0), uno::UNO_QUERY_THROW});

    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        CopyAllSlides(engine, source);
        if (position == knownCount && sorterAtEnd && attempt == 1) {
            PasteAtEnd(engine, target);
        } else {
            PasteAt(engine, target, known, position);
        }
        if (LandedInPlace(target, known, expected, position)) {
            const auto slides = Slides(target);
            SlideIdentities added;
            for (sal_Int32 i = 0; i < expected.count; ++i) {
                added.push_back(IdentityOf(slides->getByIndex(position + i)));
            }
            known.insert(known.begin() + position, added.begin(), added.end());
            return;
        }
        RemoveAdded(target, known);
    }
    throw ServerError("the slides were not inserted in place");
}

}  // namespace foliomix::impress
