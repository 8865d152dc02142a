// Copies every slide of one open presentation into another at a given place, and proves it
// did: the engine's clipboard route can silently paste nothing or land elsewhere, so each
// attempt is checked slide by slide and undone when wrong.
#pragma once

#include "merge/impress/engine_process.h"
#include "merge/impress/impress_document.h"

namespace foliomix::impress {

// Inserts all slides of `source`, in order, so that the first becomes the target's slide
// number `position` (0-based; 0 puts them before every slide, the target's slide count after
// every slide). The source must already have the target's slide size. Throws ServerError
// when, after retrying, the target does not hold exactly its old slides in their old order
// with the source's slides at `position`; the target then holds its old slides again.
void InsertAllSlides(const EngineProcess& engine, const OpenDocument& source,
                     const OpenDocument& target, sal_Int32 position);

}  // namespace foliomix::impress
