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

}  // namespace foliomix::impress
