// Steps that several cases share: what a user does to add files, start a merge and answer a box.
#pragma once

#include <string>
#include <vector>

#include "tests/windows/driver/app_session.h"
#include "tests/windows/driver/dialogs.h"

namespace foliomix::driver {

// Clicks 添加 and returns the open dialog it shows.
[[nodiscard]] FileDialogDriver OpenAddDialog(const AppSession& app);
// Clicks 添加, picks `names` in `folder` and waits until the dialog has closed.
void AddFiles(const AppSession& app, const std::wstring& folder,
              const std::vector<std::wstring>& names);
// Clicks 开始合并 and returns the save dialog it shows.
[[nodiscard]] FileDialogDriver OpenMergeDialog(const AppSession& app);
// Waits for a message box owned by Form1, checks its text, title, single OK button and the
// absence of an icon, and presses OK.
void ExpectMessage(const AppSession& app, const std::wstring& text, const std::wstring& title);
// Waits until Form1 no longer shows a dialog of its own.
void WaitUntilNoDialog(const AppSession& app);
// With every button greyed and at least two rows in the list: clicks on 上移 with the last row
// selected and on 下移 with the first, either of which would move a row if it were handled,
// and on 添加 and 开始合并, which would show a dialog, change nothing.
void ExpectGreyedButtonsIgnoreClicks(const AppSession& app);

// The full paths of `names` in `folder`.
[[nodiscard]] std::vector<std::wstring> PathsIn(const std::wstring& folder,
                                                const std::vector<std::wstring>& names);

}  // namespace foliomix::driver
