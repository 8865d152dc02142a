// Owning handles for the GDI and USER objects the window creates.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace foliomix::win32 {

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

}  // namespace foliomix::win32
