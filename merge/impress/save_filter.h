// Which of the engine's export filters writes each format.
#pragma once

#include <string_view>

#include "merge/save_format.h"

namespace foliomix::impress {

// PowerPoint 97-2003, PowerPoint 2007 XML, OpenDocument Presentation, or PDF (an export: one
// page per visible slide, and nothing the engine could open as a presentation again).
[[nodiscard]] std::string_view SaveFilterFor(SaveFormat format);

// The format SaveAs gives a file name of no format of its own: PowerPoint 97-2003, the format
// the program proposes and the one PowerPoint's own default SaveAs gives a ".ppt" name.
inline constexpr SaveFormat kDefaultSaveFormat = SaveFormat::Presentation97;

}  // namespace foliomix::impress
