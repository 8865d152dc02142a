// Conversions between our UTF-16 and UTF-8 strings, UNO's OUString and file URLs.
#pragma once

#include <rtl/ustring.hxx>

#include <string>
#include <string_view>

namespace foliomix::impress {

[[nodiscard]] rtl::OUString ToOUString(std::u16string_view text);
[[nodiscard]] rtl::OUString Utf8ToOUString(std::string_view text);
[[nodiscard]] std::string ToUtf8(const rtl::OUString& text);
[[nodiscard]] std::u16string ToU16(const rtl::OUString& text);

// The file URL of a local path; a relative path is taken from the current directory. Non-ASCII
// names are percent-encoded as UTF-8. Throws ServerError for a path that has no URL.
[[nodiscard]] rtl::OUString FileUrlFromPath(std::u16string_view path);

}  // namespace foliomix::impress
