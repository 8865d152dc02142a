// The system's dialogs as the program under test shows them: its open and save dialogs and its
// message boxes (each a "#32770" window owned by the window that showed it).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/windows/driver/app_session.h"

namespace foliomix::driver {

enum class DialogKind { FileDialog, MessageBox };

// The visible dialog of that kind owned by `owner`, once it is shown (throws otherwise).
[[nodiscard]] HWND WaitForDialog(HWND owner, DialogKind kind, milliseconds patience = kPatience);
// The visible dialog owned by `owner` right now, null for none.
[[nodiscard]] HWND OwnedDialog(HWND owner);

// The open or save dialog.
class FileDialogDriver {
  public:
    FileDialogDriver(const AppSession& app, HWND dialog) : app_(app), dialog_(dialog) {}

    [[nodiscard]] HWND Handle() const { return dialog_; }
    // The folder the dialog shows.
    [[nodiscard]] std::wstring Folder() const;
    // The text of the file name field.
    [[nodiscard]] std::wstring NameField() const;
    // The entries of the file type list.
    [[nodiscard]] std::vector<std::wstring> FileTypes() const;
    // Types a folder's path and presses Enter: the dialog shows that folder.
    void OpenFolder(const std::wstring& folder) const;
    // Types the names (one as it is, several each in quotes) and presses the OK button.
    void Choose(const std::vector<std::wstring>& names) const;
    void Cancel() const;
    [[nodiscard]] bool Open() const { return AppSession::Exists(dialog_); }

  private:
    void SetNameField(const std::wstring& text) const;
    [[nodiscard]] HWND NameControl() const;

    const AppSession& app_;
    HWND dialog_;
};

struct MessageBoxContent {
    std::wstring text;
    std::wstring title;
    std::vector<int> buttons;  // the identifiers of its buttons
    bool icon = false;         // whether it shows an icon
};

[[nodiscard]] MessageBoxContent ReadMessageBox(HWND box);
// Presses the button with that identifier (IDOK, IDYES, IDNO).
void PressButton(HWND box, int identifier);

}  // namespace foliomix::driver
