// One ordered record of the calls that the fakes receive, as readable UTF-8 lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace foliomix::testing {

using CallLog = std::vector<std::string>;

// UTF-16 to UTF-8, for readable logs and failure messages; NUL shows as "\0".
std::string Utf8(std::u16string_view text);

}  // namespace foliomix::testing
