#include "app/win32/file_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "app/win32/dialog_text.h"
#include "app/win32/wide_text.h"

namespace foliomix::win32 {

DialogEnd EndWithoutResult(DWORD extendedError) {
    switch (extendedError) {
        case 0:
            return DialogEnd::Cancelled;
        case FNERR_BUFFERTOOSMALL:
            return DialogEnd::TooManyFiles;
        default:
            return DialogEnd::Failed;
    }
}

FileDialog::FileDialog(FileDialogKind kind, const design::FileDialogDesign& design,
                       std::uint32_t extraFlags, std::size_t resultChars)
    : kind_(kind),
      filter_(ToWide(DialogFilter(design.filter))),
      defaultExt_(ToWide(design.defaultExt)),
      initDir_(ToWide(design.initDir)),
      flags_(design.flags),
      extraFlags_(extraFlags),
      resultChars_(resultChars),
      fileName_(design.fileName) {}

DialogOutcome FileDialog::Show(HWND owner) {
    // The name field starts with the current file name, up to its first NUL (a result of
    // several files starts with their folder).
    std::vector<wchar_t> buffer(resultChars_, L'\0');
    const std::wstring proposed = ToWide(DialogResult(fileName_, false));
    std::copy_n(proposed.begin(), std::min(proposed.size(), buffer.size() - 1), buffer.begin());

    // No folder of its own: the dialog starts in the process's current folder.
    std::wstring initDir = initDir_;
    if (initDir.empty()) {
        const DWORD length = GetCurrentDirectoryW(0, nullptr);
        initDir.resize(length);
        initDir.resize(GetCurrentDirectoryW(length, initDir.data()));
    }

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter_.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initDir.empty() ? nullptr : initDir.c_str();
    ofn.lpstrDefExt = defaultExt_.empty() ? nullptr : defaultExt_.c_str();
    ofn.Flags = flags_ | extraFlags_;

    const BOOL confirmed =
        kind_ == FileDialogKind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!confirmed) {
        // All three end as a cancel. A selection too large for the buffer leaves in it only
        // the size it would need, and a failed dialog leaves nothing: neither has a file to
        // hand on. The window shows no message of its own about a dialog, so the user meets
        // the window as a cancel leaves it, unchanged and usable, and can try again.
        lastEnd_ = EndWithoutResult(CommDlgExtendedError());
        return DialogOutcome::Cancelled;
    }
    lastEnd_ = DialogEnd::Confirmed;
    const bool severalFiles = (ofn.Flags & OFN_ALLOWMULTISELECT) != 0;
    fileName_ =
        DialogResult(FromWide(std::wstring_view(buffer.data(), buffer.size())), severalFiles);
    return DialogOutcome::Confirmed;
}

}  // namespace foliomix::win32
