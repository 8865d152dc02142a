#include "app/win32/list_extent.h"

#include <algorithm>
#include <string>

namespace foliomix::win32 {
namespace {

// The list's device context with a font selected, for measuring rows; gives both back at its end.
class MeasuringDc {
  public:
    MeasuringDc(HWND window, HFONT font)
        : window_(window), dc_(GetDC(window)), previous_(dc_ ? SelectObject(dc_, font) : nullptr) {}
    ~MeasuringDc() {
        if (dc_) {
            SelectObject(dc_, previous_);
            ReleaseDC(window_, dc_);
        }
    }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;

    // The width of `text` in pixels; 0 when there is nothing to measure with.
    [[nodiscard]] int Width(std::wstring_view text) const {
        SIZE extent{};
        if (!dc_ || text.empty() ||
            !GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &extent)) {
            return 0;
        }
        return static_cast<int>(extent.cx);
    }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

void ListExtent::MeasureAll(HWND list, HFONT font) {
    const MeasuringDc dc(list, font);
    int widest = 0;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        const auto row = static_cast<WPARAM>(i);
        text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1);
        const LRESULT length =
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
        widest =
            std::max(widest, dc.Width(std::wstring_view(
                                 text.data(), length < 0 ? 0 : static_cast<std::size_t>(length))));
    }
    Set(list, widest);
}

void ListExtent::Widen(HWND list, HFONT font, std::wstring_view row) {
    const int width = MeasuringDc(list, font).Width(row);
    if (width > widestRow_) {
        Set(list, width);
    }
}

void ListExtent::Set(HWND list, int widest) {
    // A few pixels to spare beyond the last character.
    widestRow_ = widest;
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
}

}  // namespace foliomix::win32
