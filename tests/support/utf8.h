// UTF-8 for tests: readable logs and failure messages, and paths named in UTF-8 literals.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace foliomix::testing {

// UTF-16 to UTF-8; NUL shows as "\0", so that the open dialog's separators stay visible.
[[nodiscard]] std::string Utf8(std::u16string_view text);
// A path as UTF-8 bytes, whatever the platform's own encoding of paths.
[[nodiscard]] std::string Utf8OfPath(const std::filesystem::path& path);
// The path that UTF-8 bytes name (a plain std::string is not UTF-8 to std::filesystem).
[[nodiscard]] std::filesystem::path Utf8Path(std::string_view name);

}  // namespace foliomix::testing
