#include "tests/windows/driver/standin_log.h"

namespace foliomix::driver {

std::vector<std::wstring> LinesWith(const std::vector<std::wstring>& lines,
                                    std::wstring_view part) {
    std::vector<std::wstring> found;
    for (const std::wstring& line : lines) {
        if (line.find(part) != std::wstring::npos) {
            found.push_back(line);
        }
    }
    return found;
}

bool AnyLineWith(const std::vector<std::wstring>& lines, std::wstring_view part) {
    return IndexOf(lines, part) >= 0;
}

int IndexOf(const std::vector<std::wstring>& lines, std::wstring_view part, int from) {
    for (std::size_t i = static_cast<std::size_t>(from < 0 ? 0 : from); i < lines.size(); ++i) {
        if (lines[i].find(part) != std::wstring::npos) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::wstring LastArgument(const std::vector<std::wstring>& lines, std::wstring_view part) {
    const std::vector<std::wstring> found = LinesWith(lines, part);
    if (found.empty()) {
        return {};
    }
    const std::wstring& line = found.back();
    const std::size_t open = line.find(L'(', line.find(part));
    const std::size_t close = line.find(L')', open);
    if (open == std::wstring::npos || close == std::wstring::npos) {
        return {};
    }
    return line.substr(open + 1, close - open - 1);
}

}  // namespace foliomix::driver
