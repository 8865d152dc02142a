// The horizontal extent of Form1's list box: full paths are often wider than the list, so it
// scrolls sideways to the end of its widest row, measured in the list's font.
#pragma once

#include <windows.h>

#include <string_view>

namespace foliomix::win32 {

class ListExtent {
  public:
    // Measures every row of `list` again, for a new font.
    void MeasureAll(HWND list, HFONT font);
    // Widens the extent to a row's text, if it is wider than any before. One row is measured
    // per change, never the whole list: a selection of thousands of files is added row by row.
    void Widen(HWND list, HFONT font, std::wstring_view row);

  private:
    void Set(HWND list, int widest);

    // The text width of the widest row, in pixels.
    int widestRow_ = 0;
};

}  // namespace foliomix::win32
