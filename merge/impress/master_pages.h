// The masters (designs) of a presentation. A paste re-binds incoming slides to the target's
// master of the same name and drops their own; the engine's PowerPoint import names nearly every
// master "Default", so without renaming every deck after the first would lose its design.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "merge/impress/impress_document.h"

namespace foliomix::impress {

[[nodiscard]] std::set<std::u16string> MasterNames(const OpenDocument& document);

// The name the engine gives the master of a new presentation ("Default" in English), which every
// copy of slides carries as a blank master of its own: a paste binds an incoming master of that
// name to the blank one unless the target holds a master of that name already. Masters of that
// name are therefore always renamed. Costs a new presentation of the engine's.
[[nodiscard]] std::u16string DefaultMasterName(const EngineProcess& engine);

// The first of "name", "name 2", "name 3", … that is not in `taken`.
[[nodiscard]] std::u16string UniqueName(std::u16string_view name,
                                        const std::set<std::u16string>& taken);

// Renames each master of `source` whose name is in `taken`, or that an earlier master of
// `source` already bears, to a name found in neither, so that a paste brings every master of
// `source` along as its own. Returns the names the masters of `source` bear now.
[[nodiscard]] std::set<std::u16string> RenameClashingMasters(const OpenDocument& source,
                                                             const std::set<std::u16string>& taken);

// Removes every master that no slide uses.
void RemoveUnusedMasters(const OpenDocument& document);

// A pasted master finds its background through a style of the document it was copied from: once
// that document is closed, every rendering of its slides (a PDF export) shows no background,
// while the saved presentation formats, which read the master's own background style, keep it.
// Binds every master of `document` to its own background style again.
void RebindMasterBackgrounds(const OpenDocument& document);

}  // namespace foliomix::impress
