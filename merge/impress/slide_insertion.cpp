#include "merge/impress/slide_insertion.h"

#include <algorithm>
#include <string>
#include <vector>

#include <com/sun/star/drawing/XDrawView.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>

#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = css::uno;

namespace {

constexpr int kAttempts = 3;

// Slides compared by UNO identity: the same slide object always maps to the same proxy.
using Identity = std::vector<uno::Reference<uno::XInterface>>;

Identity IdentitiesOf(const std::vector<uno::Reference<css::drawing::XDrawPage>>& slides) {
    Identity identities;
    identities.reserve(slides.size());
    for (const auto& slide : slides) {
        identities.emplace_back(slide, uno::UNO_QUERY_THROW);
    }
    return identities;
}

bool Contains(const Identity& identities, const uno::Reference<uno::XInterface>& slide) {
    return std::any_of(identities.begin(), identities.end(),
                       [&](const auto& known) { return known.get() == slide.get(); });
}

// True when `after` is `before` with slides whose texts are `expected` at `position`.
bool LandedInPlace(const Identity& before, const Identity& after,
                   const std::vector<uno::Reference<css::drawing::XDrawPage>>& afterSlides,
                   const std::vector<std::u16string>& expected, std::size_t position) {
    if (after.size() != before.size() + expected.size()) {
        return false;
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        const std::size_t at = i < position ? i : i + expected.size();
        if (after[at].get() != before[i].get()) {
            return false;
        }
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (Contains(before, after[position + i]) ||
            SlideText(afterSlides[position + i]) != expected[i]) {
            return false;
        }
    }
    return true;
}

// Removes every slide that is not one of `before`, and checks that the rest is `before`.
void RemoveAdded(const OpenDocument& target, const Identity& before) {
    const auto slides = Slides(target);
    for (sal_Int32 i = slides->getCount() - 1; i >= 0; --i) {
        const uno::Reference<css::drawing::XDrawPage> slide(slides->getByIndex(i),
                                                            uno::UNO_QUERY_THROW);
        if (!Contains(before, uno::Reference<uno::XInterface>(slide, uno::UNO_QUERY_THROW))) {
            slides->remove(slide);
        }
    }
    const Identity now = IdentitiesOf(SlideList(target));
    if (now.size() != before.size() ||
        !std::equal(now.begin(), now.end(), before.begin(),
                    [](const auto& a, const auto& b) { return a.get() == b.get(); })) {
        throw ServerError("a failed insertion could not be undone");
    }
}

void CopyAllSlides(const EngineProcess& engine, const OpenDocument& source) {
    ShowSlideSorter(engine, source);
    Dispatch(engine, source, ".uno:SelectAll");
    Dispatch(engine, source, ".uno:Copy");
}

// The slide sorter pastes after the slide that was current in the normal view when the
// sorter was shown; "before the first" is a paste after it followed by moving the pasted
// (and still selected) slides to the start.
void PasteAt(const EngineProcess& engine, const OpenDocument& target,
             const std::vector<uno::Reference<css::drawing::XDrawPage>>& slides,
             std::size_t position) {
    ShowNormalView(engine, target);
    const uno::Reference<css::frame::XModel> model(target.Component(), uno::UNO_QUERY_THROW);
    const uno::Reference<css::drawing::XDrawView> view(model->getCurrentController(),
                                                       uno::UNO_QUERY_THROW);
    view->setCurrentPage(slides[position == 0 ? 0 : position - 1]);
    ShowSlideSorter(engine, target);
    Dispatch(engine, target, ".uno:Paste");
    if (position == 0) {
        Dispatch(engine, target, ".uno:MovePageFirst");
    }
    ShowNormalView(engine, target);
}

}  // namespace

void InsertAllSlides(const EngineProcess& engine, const OpenDocument& source,
                     const OpenDocument& target, sal_Int32 position) {
    std::vector<std::u16string> expected;
    for (const auto& slide : SlideList(source)) {
        expected.push_back(SlideText(slide));
    }
    if (expected.empty()) {
        return;
    }
    const auto beforeSlides = SlideList(target);
    const Identity before = IdentitiesOf(beforeSlides);
    const auto at = static_cast<std::size_t>(position);
    if (position < 0 || at > before.size() || before.empty()) {
        throw ServerError("insertion position out of range");
    }
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        CopyAllSlides(engine, source);
        PasteAt(engine, target, beforeSlides, at);
        const auto afterSlides = SlideList(target);
        if (LandedInPlace(before, IdentitiesOf(afterSlides), afterSlides, expected, at)) {
            return;
        }
        RemoveAdded(target, before);
    }
    throw ServerError("the slides were not inserted in place");
}

}  // namespace foliomix::impress
