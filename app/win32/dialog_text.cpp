#include "app/win32/dialog_text.h"

namespace foliomix::win32 {

std::u16string DialogFilter(std::u16string_view designFilter) {
    std::u16string filter(designFilter);
    for (char16_t& c : filter) {
        if (c == u'|') {
            c = u'\0';
        }
    }
    filter.push_back(u'\0');
    filter.push_back(u'\0');
    return filter;
}

std::u16string DialogResult(std::u16string_view buffer, bool severalFiles) {
    const std::size_t firstNul = buffer.find(u'\0');
    if (!severalFiles || firstNul == std::u16string_view::npos) {
        return std::u16string(buffer.substr(0, firstNul));
    }
    // The list of names ends at the first empty entry, i.e. at two NULs in a row.
    const std::size_t end = buffer.find(std::u16string_view(u"\0\0", 2));
    return std::u16string(buffer.substr(0, end));
}

}  // namespace foliomix::win32
