// Copies every slide of one open presentation into another at a given place, and proves it
// did: the engine's clipboard route can silently paste nothing or land elsewhere, so each
// attempt is checked and undone when wrong.
#pragma once

#include "merge/impress/engine_process.h"
#include "merge/impress/impress_document.h"

namespace foliomix::impress {

// Inserts all slides of `source`, in order, so that the first becomes the target's slide
// number `position` (0-based; 0 puts them before every slide, the slide count after every
// slide). The target must hold at least one slide, and the source must already have the
// target's slide size.
// `sorterAtEnd`: the target's slide sorter was last left by a paste after its last slide (or
// the target holds one slide), so that an append needs no view switch.
// A paste that lands wrong is taken back with the document's undo, which also takes back the
// masters and styles it brought; only this insertion's steps are kept for it.
// Throws ServerError when, after retrying, the slides are not in place; the target then holds
// its old slides again.
void InsertAllSlides(const EngineProcess& engine, const OpenDocument& source,
                     const OpenDocument& target, sal_Int32 position, bool sorterAtEnd);

// Lets go of what the last insertion into `target` still holds: the clipboard's copy of its
// deck (pictures and masters included) and its undo steps. Before a save, whose export of a
// large result needs every byte it can get.
void ForgetLastInsertion(const EngineProcess& engine, const OpenDocument& target);

}  // namespace foliomix::impress
