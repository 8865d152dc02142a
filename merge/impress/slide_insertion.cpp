#include "merge/impress/slide_insertion.h"

#include <string>
#include <vector>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/XUndoManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/drawing/XDrawView.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>

#include "merge/impress/slide_inspection.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace uno = css::uno;

namespace {

constexpr int kAttempts = 3;

using Slide = uno::Reference<css::drawing::XDrawPage>;

Slide SlideAt(const OpenDocument& document, sal_Int32 index) {
    return {Slides(document)->getByIndex(index), uno::UNO_QUERY_THROW};
}

// UNO's identity rule: two references name the same object when their XInterface is the same.
bool Same(const Slide& a, const Slide& b) {
    return uno::Reference<uno::XInterface>(a, uno::UNO_QUERY).get() ==
           uno::Reference<uno::XInterface>(b, uno::UNO_QUERY).get();
}

// The target around the insertion point before an attempt: its slide count and the slides
// that must end up just before and just after the inserted block (absent at either end).
struct Surroundings {
    sal_Int32 count = 0;
    Slide before;
    Slide after;
};

Surroundings SurroundingsOf(const OpenDocument& target, sal_Int32 position) {
    Surroundings around;
    around.count = Slides(target)->getCount();
    if (position > 0) {
        around.before = SlideAt(target, position - 1);
    }
    if (position < around.count) {
        around.after = SlideAt(target, position);
    }
    return around;
}

// What the inserted block must look like: its length and its first slide's text.
struct Expected {
    sal_Int32 count = 0;
    std::u16string first;
};

// True when the target holds `added` more slides than `around.count`, with `around.before`
// just before `position` and `around.after` just after the block. A paste inserts one
// contiguous block and never reorders the slides already there, and the two were neighbours
// before it: so every slide between them is new, and the block is exactly there.
bool NeighboursInPlace(const OpenDocument& target, const Surroundings& around, sal_Int32 added,
                       sal_Int32 position) {
    if (Slides(target)->getCount() != around.count + added) {
        return false;
    }
    if (around.before.is() && !Same(SlideAt(target, position - 1), around.before)) {
        return false;
    }
    return !around.after.is() || Same(SlideAt(target, position + added), around.after);
}

// In place, and the block's first slide shows the source's first text, which tells a fresh
// copy from stale clipboard contents.
bool LandedInPlace(const EngineProcess& engine, const OpenDocument& target,
                   const Surroundings& around, const Expected& expected, sal_Int32 position) {
    return NeighboursInPlace(target, around, expected.count, position) &&
           SlideText(engine, target, position) == expected.first;
}

uno::Reference<css::document::XUndoManager> UndoManagerOf(const OpenDocument& target) {
    const uno::Reference<css::document::XUndoManagerSupplier> supplier(target.Component(),
                                                                       uno::UNO_QUERY_THROW);
    return supplier->getUndoManager();
}

// Undoes everything since the attempt began (the paste, and the move of a paste to the start),
// and checks that the target is as it was.
void UndoAttempt(const OpenDocument& target, const Surroundings& around, sal_Int32 position) {
    const auto undo = UndoManagerOf(target);
    while (undo->isUndoPossible()) {
        undo->undo();
    }
    if (!NeighboursInPlace(target, around, 0, position)) {
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
void PasteAt(const EngineProcess& engine, const OpenDocument& target, const Surroundings& around,
             sal_Int32 position) {
    ShowNormalView(engine, target);
    const uno::Reference<css::frame::XModel> model(target.Component(), uno::UNO_QUERY_THROW);
    const uno::Reference<css::drawing::XDrawView> view(model->getCurrentController(),
                                                       uno::UNO_QUERY_THROW);
    view->setCurrentPage(position == 0 ? around.after : around.before);
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

// A paste binds each slide to its master anew and shows its master's shapes again.
void HideMasterShapes(const OpenDocument& target, sal_Int32 position,
                      const std::vector<sal_Int32>& hiding) {
    for (const sal_Int32 i : hiding) {
        uno::Reference<css::beans::XPropertySet>(SlideAt(target, position + i),
                                                 uno::UNO_QUERY_THROW)
            ->setPropertyValue("IsBackgroundObjectsVisible", uno::Any(false));
    }
}

}  // namespace

void InsertAllSlides(const EngineProcess& engine, const OpenDocument& source,
                     const OpenDocument& target, sal_Int32 position, bool sorterAtEnd) {
    const auto sourceSlides = Slides(source);
    Expected expected;
    expected.count = sourceSlides->getCount();
    if (expected.count == 0) {
        return;
    }
    const sal_Int32 count = Slides(target)->getCount();
    if (position < 0 || position > count || count == 0) {
        throw ServerError("insertion position out of range");
    }
    expected.first = SlideText(engine, source, 0);
    const Surroundings around = SurroundingsOf(target, position);
    const std::vector<sal_Int32> hiding = SlidesHidingMasterShapes(engine, source);
    // Only this insertion's steps are kept for undo: a failed attempt is taken back with them,
    // and the steps of earlier insertions would hold on to memory for nothing.
    const auto undo = UndoManagerOf(target);

    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        undo->clear();
        CopyAllSlides(engine, source);
        if (position == count && sorterAtEnd && attempt == 1) {
            PasteAtEnd(engine, target);
        } else {
            PasteAt(engine, target, around, position);
        }
        if (LandedInPlace(engine, target, around, expected, position)) {
            HideMasterShapes(target, position, hiding);
            return;
        }
        UndoAttempt(target, around, position);
    }
    throw ServerError("the slides were not inserted in place");
}

void ForgetLastInsertion(const EngineProcess& engine, const OpenDocument& target) {
    engine.ClearClipboard();
    UndoManagerOf(target)->clear();
}

}  // namespace foliomix::impress
