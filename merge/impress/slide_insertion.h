// Copies every slide of one open presentation into another at a given place, and proves it
// did: the engine's clipboard route can silently paste nothing or land elsewhere, so each
// attempt is checked and undone when wrong.
#pragma once

#include <vector>

#include "merge/impress/engine_process.h"
#include "merge/impress/impress_document.h"

namespace foliomix::impress {

// The target's slides, in order, as UNO identities (the same slide object always comes back
// as the same proxy). The caller keeps it for a target that only this code changes, so that
// an insertion need not read every slide back to know what was there before.
using SlideIdentities = std::vector<css::uno::Reference<css::uno::XInterface>>;

[[nodiscard]] SlideIdentities IdentitiesOf(const OpenDocument& document);

// Inserts all slides of `source`, in order, so that the first becomes the target's slide
// number `position` (0-based; 0 puts them before every slide, the slide count after every
// slide), and updates `known` to match. The source must already have the target's slide size.
// `sorterAtEnd`: the target's slide sorter was last left by a paste after its last slide (or
// the target holds one slide), so that an append needs no view switch.
// Throws ServerError when, after retrying, the slides are not in place; the target then holds
// its old slides again.
void InsertAllSlides(const EngineProcess& engine, const OpenDocument& source,
                     const OpenDocument& target, SlideIdentities& known, sal_Int32 position,
                     bool sorterAtEnd);

}  // namespace foliomix::impress
