// UTF-16 Windows text as UTF-8 bytes: for error messages, log lines and test output.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace foliomix::com {

[[nodiscard]] inline std::string Utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

}  // namespace foliomix::com
