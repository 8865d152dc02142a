#include "tests/windows/driver/dialogs.h"

#include <commdlg.h>
#include <dlgs.h>

#include "tests/windows/driver/remote_buffer.h"

namespace foliomix::driver {
namespace {

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring Text(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

// The message box's text control; file dialogs have none with this identifier.
constexpr int kMessageBoxTextId = 0xFFFF;

DialogKind KindOf(HWND dialog) {
    return GetDlgItem(dialog, kMessageBoxTextId) ? DialogKind::MessageBox : DialogKind::FileDialog;
}

struct OwnedSearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
        ClassName(window) == L"#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    std::vector<HWND> buttons;
};

BOOL CALLBACK CollectButtons(HWND window, LPARAM param) {
    if (ClassName(window) == L"Button" && IsWindowVisible(window)) {
        reinterpret_cast<ChildSearch*>(param)->buttons.push_back(window);
    }
    return TRUE;
}

}  // namespace

HWND OwnedDialog(HWND owner) {
    OwnedSearch search{owner};
    EnumWindows(&FindOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(HWND owner, DialogKind kind, milliseconds patience) {
    const char* what = kind == DialogKind::MessageBox ? "a message box" : "a file dialog";
    return WaitFor(
        what,
        [&]() -> HWND {
            HWND dialog = OwnedDialog(owner);
            return dialog && KindOf(dialog) == kind ? dialog : nullptr;
        },
        patience);
}

HWND FileDialogDriver::NameControl() const {
    // The explorer-style dialog's name field: a combo box (cmb13) or an edit field (edt1).
    if (HWND combo = GetDlgItem(dialog_, cmb13)) {
        return combo;
    }
    if (HWND edit = GetDlgItem(dialog_, edt1)) {
        return edit;
    }
    throw DriverError("the file dialog has no file name field");
}

std::wstring FileDialogDriver::Folder() const {
    RemoteBuffer buffer(app_.Process(), 2 * MAX_PATH * sizeof(wchar_t));
    SendMessageW(dialog_, CDM_GETFOLDERPATH, 2 * MAX_PATH, buffer.Address());
    return buffer.ReadText(2 * MAX_PATH);
}

std::wstring FileDialogDriver::NameField() const { return Text(NameControl()); }

std::vector<std::wstring> FileDialogDriver::FileTypes() const {
    HWND types = GetDlgItem(dialog_, cmb1);
    std::vector<std::wstring> entries;
    const auto count = SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto item = static_cast<WPARAM>(i);
        std::wstring text(
            static_cast<std::size_t>(SendMessageW(types, CB_GETLBTEXTLEN, item, 0)) + 1, L'\0');
        const auto length =
            SendMessageW(types, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length < 0 ? 0 : static_cast<std::size_t>(length));
        entries.push_back(text);
    }
    return entries;
}

void FileDialogDriver::SetNameField(const std::wstring& text) const {
    SendMessageW(NameControl(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void FileDialogDriver::OpenFolder(const std::wstring& folder) const {
    SetNameField(folder);
    // Sent, not posted: the dialog has moved to the folder when this returns.
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDOK)));
    WaitFor("the file dialog to show the folder", [&] { return Folder() == folder; });
}

void FileDialogDriver::Choose(const std::vector<std::wstring>& names) const {
    std::wstring text;
    if (names.size() == 1) {
        text = names.front();
    } else {
        for (const std::wstring& name : names) {
            text += (text.empty() ? L"\"" : L" \"") + name + L"\"";
        }
    }
    SetNameField(text);
    // Posted: what the OK button starts may show a modal box of its own.
    PostMessageW(GetDlgItem(dialog_, IDOK), BM_CLICK, 0, 0);
}

void FileDialogDriver::Cancel() const {
    PostMessageW(GetDlgItem(dialog_, IDCANCEL), BM_CLICK, 0, 0);
}

MessageBoxContent ReadMessageBox(HWND box) {
    MessageBoxContent content;
    content.text = Text(GetDlgItem(box, kMessageBoxTextId));
    content.title = Text(box);
    ChildSearch search;
    EnumChildWindows(box, &CollectButtons, reinterpret_cast<LPARAM>(&search));
    for (HWND button : search.buttons) {
        content.buttons.push_back(GetDlgCtrlID(button));
    }
    // The icon control (stc1) shows an icon only when the box was asked for one.
    HWND icon = GetDlgItem(box, stc1);
    content.icon = icon && IsWindowVisible(icon) && SendMessageW(icon, STM_GETICON, 0, 0) != 0;
    return content;
}

void PressButton(HWND box, int identifier) {
    HWND button = GetDlgItem(box, identifier);
    if (!button) {
        throw DriverError("the box has no button " + std::to_string(identifier));
    }
    PostMessageW(button, BM_CLICK, 0, 0);
}

}  // namespace foliomix::driver
