// The text forms the common file dialogs take and give, converted to and from the forms the
// window's design and the merge list use. No Windows header is needed here.
#pragma once

#include <string>
#include <string_view>

namespace foliomix::win32 {

// "desc|pattern|desc|pattern" as the dialogs take it: every '|' becomes a NUL and the list
// ends with two NULs ("*.ppt|*.ppt" gives "*.ppt\0*.ppt\0\0").
[[nodiscard]] std::u16string DialogFilter(std::u16string_view designFilter);

// The result a dialog left in its buffer. With several files allowed (explorer style) the
// buffer holds "folder\0name\0name\0\0" or "fullpath\0\0"; the result is that text up to its
// final NUL, so several files come back as folder NUL name NUL name (no NUL at the end) and
// one file as its full path. Otherwise the result is the text up to the first NUL.
[[nodiscard]] std::u16string DialogResult(std::u16string_view buffer, bool severalFiles);

}  // namespace foliomix::win32
