// The operations the core uses on Form1's list, buttons and status bar. Once the window is
// closed they touch nothing and answer as an empty window would.
#include "app/win32/main_window_win32.h"

#include <commctrl.h>

#include <string>

#include "app/win32/wide_text.h"

namespace foliomix::win32 {

using design::ControlId;

void Win32MainWindow::AddItem(std::u16string_view text) {
    if (!IsOpen()) {
        return;
    }
    const std::wstring row = ToWide(text);
    HWND list = Control(ControlId::list);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    listExtent_.Widen(list, font_.get(), row);
}

std::int16_t Win32MainWindow::ListCount() const {
    if (!IsOpen()) {
        return 0;
    }
    return static_cast<std::int16_t>(SendMessageW(Control(ControlId::list), LB_GETCOUNT, 0, 0));
}

std::int16_t Win32MainWindow::ListIndex() const {
    if (!IsOpen()) {
        return -1;
    }
    // LB_ERR, -1, when no row is selected.
    return static_cast<std::int16_t>(SendMessageW(Control(ControlId::list), LB_GETCURSEL, 0, 0));
}

std::u16string Win32MainWindow::List(std::int16_t index) const {
    if (!IsOpen()) {
        return {};
    }
    HWND list = Control(ControlId::list);
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return FromWide(text);
}

void Win32MainWindow::SetList(std::int16_t index, std::u16string_view text) {
    if (!IsOpen()) {
        return;
    }
    HWND list = Control(ControlId::list);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const std::wstring row = ToWide(text);
    // A list box replaces a row by deleting it and inserting the new text at its place.
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(row.c_str()));
    if (selected == index) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    // A replaced row only ever widens the extent. Move up and Move down, which write the rows,
    // swap two rows' texts, so the widest text stays in the list; were a row ever to shrink,
    // the stale wider extent would only let the list scroll a little past its widest row.
    listExtent_.Widen(list, font_.get(), row);
}

void Win32MainWindow::SetEnabled(ControlId button, bool enabled) {
    if (!IsOpen()) {
        return;
    }
    HWND handle = Control(button);
    // A greyed button cannot keep the keyboard focus: it goes on to the control Tab would
    // reach next, so the keyboard keeps working where the user was. That control is found
    // while the button still has the focus (the system drops the focus of a window it greys);
    // the dialog manager passes over greyed controls and wraps round after the last one.
    HWND next =
        !enabled && GetFocus() == handle ? GetNextDlgTabItem(Handle(), handle, FALSE) : nullptr;
    EnableWindow(handle, enabled ? TRUE : FALSE);
    if (next && next != handle) {
        SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    }
}

void Win32MainWindow::SetSimpleText(std::u16string_view text) {
    if (!IsOpen()) {
        return;
    }
    const std::wstring status = ToWide(text);
    SendMessageW(Control(ControlId::sb), SB_SETTEXTW, SB_SIMPLEID,
                 reinterpret_cast<LPARAM>(status.c_str()));
}

}  // namespace foliomix::win32
