// ofd and sfd: the system's open and save dialogs with the settings of the window's design.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/form_design.h"
#include "app/main_window.h"

namespace foliomix::win32 {

enum class FileDialogKind : std::uint8_t { Open, Save };

// How a showing of a file dialog ended.
enum class DialogEnd : std::uint8_t {
    Confirmed,     // the user confirmed a name or a selection
    Cancelled,     // the user cancelled
    TooManyFiles,  // the selection did not fit the result buffer
    Failed,        // the dialog could not be shown or failed while shown
};

// The end of a showing that returned no result, from the dialog's extended error code
// (CommDlgExtendedError): none for a cancel, FNERR_BUFFERTOOSMALL for a selection too large.
[[nodiscard]] DialogEnd EndWithoutResult(DWORD extendedError);

class FileDialog {
  public:
    // `extraFlags` are added to the flags of every showing; `resultChars` is the size of the
    // result buffer in characters, folder and every chosen name together.
    FileDialog(FileDialogKind kind, const design::FileDialogDesign& design,
               std::uint32_t extraFlags, std::size_t resultChars);

    void SetFlags(std::uint32_t flags) { flags_ = flags; }

    // Shows the dialog modally, owned by `owner`. Confirmed only when the user confirmed;
    // every other end (LastEnd tells which) counts as a cancel and leaves FileName as it was.
    DialogOutcome Show(HWND owner);

    [[nodiscard]] const std::u16string& FileName() const { return fileName_; }
    // How the last showing ended; Cancelled before the first.
    [[nodiscard]] DialogEnd LastEnd() const { return lastEnd_; }

  private:
    FileDialogKind kind_;
    std::wstring filter_;
    std::wstring defaultExt_;
    std::wstring initDir_;
    std::uint32_t flags_;
    std::uint32_t extraFlags_;
    std::size_t resultChars_;
    std::u16string fileName_;
    DialogEnd lastEnd_ = DialogEnd::Cancelled;
};

// Characters in the open dialog's result buffer: room for hundreds of long names at once.
inline constexpr std::size_t kOpenResultChars = 65536;
// Characters in the save dialog's result buffer: the longest path Windows accepts.
inline constexpr std::size_t kSaveResultChars = 32768;

}  // namespace foliomix::win32
