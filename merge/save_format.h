// The formats a result is saved in, and the one place that says which format a file's name
// asks for: the window, the command line and both engines' adapters go by it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace foliomix {

enum class SaveFormat : std::uint8_t {
    Presentation97,  // PowerPoint 97-2003 (.ppt)
    OpenXml,         // PowerPoint 2007 and later (.pptx)
    OpenDocument,    // OpenDocument Presentation (.odp)
    Pdf,             // PDF, one page per visible slide
};

// The format that the last extension of `fileName`'s last component names, letter case
// ignored: ".ppt", ".pptx", ".odp" or ".pdf". None for any other name: another extension, none
// at all, a name that only starts with a dot (".odp"), a dot in a folder's name.
[[nodiscard]] std::optional<SaveFormat> SaveFormatNamedBy(std::u16string_view fileName);

}  // namespace foliomix
