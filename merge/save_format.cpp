#include "merge/save_format.h"

#include <array>
#include <string>
#include <utility>

namespace foliomix {

std::optional<SaveFormat> SaveFormatNamedBy(std::u16string_view fileName) {
    constexpr std::array<std::pair<std::u16string_view, SaveFormat>, 4> kExtensions{{
        {u".ppt", SaveFormat::Presentation97},
        {u".pptx", SaveFormat::OpenXml},
        {u".odp", SaveFormat::OpenDocument},
        {u".pdf", SaveFormat::Pdf},
    }};
    // Either separator: the Windows edition's names have backslashes.
    const std::size_t separator = fileName.find_last_of(u"/\\");
    const std::u16string_view name =
        separator == std::u16string_view::npos ? fileName : fileName.substr(separator + 1);
    const std::size_t dot = name.find_last_of(u'.');
    if (dot == std::u16string_view::npos || dot == 0) {
        return std::nullopt;
    }
    std::u16string extension;
    for (const char16_t c : name.substr(dot)) {
        extension += (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
    }
    for (const auto& [known, format] : kExtensions) {
        if (extension == known) {
            return format;
        }
    }
    return std::nullopt;
}

}  // namespace foliomix
