#include "merge/impress/save_filter.h"

#include <array>
#include <string>
#include <utility>

namespace foliomix::impress {
namespace {

constexpr std::string_view kPowerPoint97 = "MS PowerPoint 97";

constexpr std::array<std::pair<std::u16string_view, std::string_view>, 4> kFilters{{
    {u".ppt", kPowerPoint97},
    {u".pptx", "Impress MS PowerPoint 2007 XML"},
    {u".odp", "impress8"},
    {u".pdf", "impress_pdf_Export"},
}};

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

}  // namespace

std::string_view SaveFilterFor(std::u16string_view fileName) {
    const std::size_t slash = fileName.find_last_of(u'/');
    const std::u16string_view name =
        slash == std::u16string_view::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t dot = name.find_last_of(u'.');
    if (dot == std::u16string_view::npos || dot == 0) {
        return kPowerPoint97;
    }
    std::u16string extension;
    for (const char16_t c : name.substr(dot)) {
        extension += Lower(c);
    }
    for (const auto& [known, filter] : kFilters) {
        if (extension == known) {
            return filter;
        }
    }
    return kPowerPoint97;
}

}  // namespace foliomix::impress
