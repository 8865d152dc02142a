// What the insertion check reads of a deck, each read in one call inside the engine.
#pragma once

#include <string>
#include <vector>

#include "merge/impress/impress_document.h"

namespace foliomix::impress {

// The texts of slide `index`'s shapes in z-order, joined by U+001F, each text field as U+FFFC:
// enough to tell slides apart and to check that a copy landed where it should, and the same
// wherever the slide is (a field renders its slide's number, the time of the moment, …).
[[nodiscard]] std::u16string SlideText(const EngineProcess& engine, const OpenDocument& document,
                                       sal_Int32 index);

// The indexes of the slides of `document` that hide their master's shapes ("hide background
// graphics"), in order.
[[nodiscard]] std::vector<sal_Int32> SlidesHidingMasterShapes(const EngineProcess& engine,
                                                              const OpenDocument& document);

}  // namespace foliomix::impress
