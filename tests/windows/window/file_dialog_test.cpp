// ofd and sfd shown in this process: a showing that hands on no file is told apart by how it
// ended, and every such end leaves the dialog's file name as it was.
#include <windows.h>

#include <cderr.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/win32/file_dialog.h"

namespace foliomix::win32 {
namespace {

TEST(DialogEnd, TheExtendedErrorTellsACancelFromATooLargeSelectionAndAFailure) {
    struct Case {
        const char* what;
        DWORD error;
        DialogEnd end;
    };
    const Case cases[] = {
        {"no error: the user cancelled", 0, DialogEnd::Cancelled},
        {"the selection did not fit", FNERR_BUFFERTOOSMALL, DialogEnd::TooManyFiles},
        {"the dialog could not be made", CDERR_DIALOGFAILURE, DialogEnd::Failed},
        {"a bad initial name", FNERR_INVALIDFILENAME, DialogEnd::Failed},
        {"a bad structure", CDERR_STRUCTSIZE, DialogEnd::Failed},
        {"a subclass failure", FNERR_SUBCLASSFAILURE, DialogEnd::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(EndWithoutResult(c.error), c.end);
    }
}

// Answers the first file dialog this thread shows, as the user would, from a timer that the
// dialog's own message loop runs: types `name` into the name field and clicks OK, or clicks
// Cancel when `name` is empty.
class AnswerWhenShown {
  public:
    explicit AnswerWhenShown(std::wstring name) : timer_(SetTimer(nullptr, 0, 50, &Tick)) {
        answer = std::move(name);
        EXPECT_NE(timer_, 0U);
    }
    ~AnswerWhenShown() { KillTimer(nullptr, timer_); }
    AnswerWhenShown(const AnswerWhenShown&) = delete;
    AnswerWhenShown& operator=(const AnswerWhenShown&) = delete;

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), &AnswerDialog, 0);
    }

    static BOOL CALLBACK AnswerDialog(HWND window, LPARAM) {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) {
            return TRUE;
        }
        if (answer.empty()) {
            PostMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
            return FALSE;
        }
        // The explorer-style dialog's name field: a combo box (cmb13) or an edit field (edt1).
        HWND field = GetDlgItem(window, cmb13);
        if (!field) {
            field = GetDlgItem(window, edt1);
        }
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.c_str()));
        PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
        return FALSE;
    }

    static inline std::wstring answer;
    UINT_PTR timer_;
};

std::wstring TemporaryPath(const wchar_t* name) {
    std::wstring folder(MAX_PATH + 1, L'\0');
    folder.resize(GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder + name;
}

TEST(FileDialogShowing, EachShowingTellsHowItEndedAndACancelKeepsTheLastName) {
    const std::wstring chosen = TemporaryPath(L"合并结果-对话框测试.ppt");
    DeleteFileW(chosen.c_str());
    FileDialog sfd(FileDialogKind::Save, design::kSfd, OFN_OVERWRITEPROMPT, kSaveResultChars);
    {
        const AnswerWhenShown answer(chosen);
        EXPECT_EQ(sfd.Show(nullptr), DialogOutcome::Confirmed);
    }
    EXPECT_EQ(sfd.LastEnd(), DialogEnd::Confirmed);
    EXPECT_EQ(sfd.FileName(), std::u16string(chosen.begin(), chosen.end()));
    {
        const AnswerWhenShown answer(L"");
        EXPECT_EQ(sfd.Show(nullptr), DialogOutcome::Cancelled);
    }
    EXPECT_EQ(sfd.LastEnd(), DialogEnd::Cancelled);
    EXPECT_EQ(sfd.FileName(), std::u16string(chosen.begin(), chosen.end()));
}

}  // namespace
}  // namespace foliomix::win32
