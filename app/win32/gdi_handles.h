// Owning handles for the GDI and USER objects the window creates.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace foliomix::win32 {

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// A top-level window owned until it is destroyed, by its owner or by the system (the user's
// close). The window procedure calls Release when the window reports its destruction, so the
// owner never destroys a window that is gone. Destroy gives the handle up before it destroys
// the window: the messages of that destruction find the window no longer owned.
class UniqueWindow {
  public:
    UniqueWindow() = default;
    ~UniqueWindow() { Destroy(); }
    UniqueWindow(const UniqueWindow&) = delete;
    UniqueWindow& operator=(const UniqueWindow&) = delete;

    // Takes ownership of `window`, which this object does not hold yet.
    void Own(HWND window) { window_ = window; }
    // Null when no window is owned.
    [[nodiscard]] HWND Get() const { return window_; }
    // Gives up ownership without destroying; the window that was owned, or null.
    HWND Release() { return std::exchange(window_, nullptr); }
    void Destroy() {
        if (HWND window = Release()) {
            DestroyWindow(window);
        }
    }

  private:
    HWND window_ = nullptr;
};

}  // namespace foliomix::win32
