#include "app/win32/file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "app/win32/dialog_text.h"
#include "app/win32/wide_text.h"

namespace foliomix::win32 {

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
    // A cancel reports no error; FNERR_BUFFERTOOSMALL (a selection larger than the buffer) and
    // every other failure leave no usable result and count as a cancel as well.
    if (!confirmed) {
        return DialogOutcome::Cancelled;
    }
    const bool severalFiles = (ofn.Flags & OFN_ALLOWMULTISELECT) != 0;
    fileName_ =
        DialogResult(FromWide(std::wstring_view(buffer.data(), buffer.size())), severalFiles);
    return DialogOutcome::Confirmed;
}

}  // namespace foliomix::win32
