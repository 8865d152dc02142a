// Which of the engine's export filters SaveAs uses for a file name.
#pragma once

#include <string_view>

namespace foliomix::impress {

// By the name's extension, letter case ignored: ".ppt" → PowerPoint 97-2003, ".pptx" →
// PowerPoint 2007 XML, ".odp" → OpenDocument Presentation, ".pdf" → PDF (an export: one page
// per visible slide, and nothing the engine could open as a presentation again). Any other name,
// with or without an extension, is written as PowerPoint 97-2003 under exactly that name: the
// format the program proposes and the one PowerPoint's own default SaveAs gives a ".ppt" name.
[[nodiscard]] std::string_view SaveFilterFor(std::u16string_view fileName);

}  // namespace foliomix::impress
