#include "app/win32/win32_error.h"

#include <system_error>

namespace foliomix::win32 {

std::string Win32ErrorText(std::string_view what, DWORD code) {
    std::string text(what);
    text += " (Windows error ";
    text += std::to_string(code);
    text += ')';
    return text;
}

void ThrowWin32Error(std::string_view what, DWORD code) {
    // std::system_error adds the category's message for the code after the text.
    throw std::system_error(static_cast<int>(code), std::system_category(),
                            Win32ErrorText(what, code));
}

}  // namespace foliomix::win32
