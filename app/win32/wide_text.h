// UTF-16 text between the core (std::u16string) and the Windows API (wchar_t, 16 bits here).
#pragma once

#include <string>
#include <string_view>

namespace foliomix::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline std::wstring ToWide(std::u16string_view text) { return {text.begin(), text.end()}; }

inline std::u16string FromWide(std::wstring_view text) { return {text.begin(), text.end()}; }

}  // namespace foliomix::win32
