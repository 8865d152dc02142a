// The open and save dialogs as the user meets them: their file types and first folders,
// cancelling, one file, a selection longer than the designed 260-character buffer, and the
// system's question before an existing file is replaced.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/windows/driver/app_session.h"
#include "tests/windows/driver/check.h"
#include "tests/windows/driver/driver_case.h"
#include "tests/windows/driver/standin_log.h"
#include "tests/windows/driver/steps.h"
#include "tests/windows/driver/workspace.h"

namespace foliomix::driver {
namespace {

using design::ControlId;

void ExpectEmptyListState(const AppSession& app) {
    CHECK(app.Rows().empty());
    CHECK(app.Enabled(ControlId::cmdAdd));
    CHECK(!app.Enabled(ControlId::cmdUp));
    CHECK(!app.Enabled(ControlId::cmdDown));
    CHECK(!app.Enabled(ControlId::cmdMerge));
    CHECK_EQ(app.StatusText(), std::wstring(L"就绪"));
}

// `count` names of `length` characters each, numbered so that their order shows, filled up
// with `filler` (the host's file system allows 255 bytes of UTF-8 per name).
std::vector<std::wstring> LongNames(int count, std::size_t length, std::wstring_view filler) {
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) {
        std::wstring name = std::to_wstring(1000 + i) + L"号";
        while (name.size() + 4 < length) {
            name += filler;
        }
        name.resize(length - 4);
        names.push_back(name + L".ppt");
    }
    return names;
}

std::size_t ResultLength(const std::wstring& folder, const std::vector<std::wstring>& names) {
    std::size_t length = folder.size();
    for (const std::wstring& name : names) {
        length += 1 + name.size();
    }
    return length;
}

}  // namespace

// The open dialog lists *.ppt only and starts in c:. Cancel changes nothing and Add stays
// available; then one chosen file arrives as its full path. The save dialog lists *.ppt only
// and starts in the process's current folder, where the open dialog has left the process:
// the folder the file was chosen in.
DRIVER_CASE(open_dialog_cancel_then_one_file) {
    const Workspace work(L"open_dialog_cancel_then_one_file");
    const std::wstring folder = work.Folder(L"单个文件");
    work.WriteDeck(folder, L"唯一.ppt", {L"一"});
    AppSession app(work.Root(), {});

    const FileDialogDriver dialog = OpenAddDialog(app);
    CHECK_EQ(dialog.FileTypes(), std::vector<std::wstring>{L"*.ppt"});
    const std::wstring start = dialog.Folder();
    std::printf("open dialog starts in %s\n", Utf8(start).c_str());
    CHECK_EQ(start, std::wstring(L"C:\\"));
    dialog.Cancel();
    WaitFor("the open dialog to close", [&] { return !dialog.Open(); });
    app.Settle();
    ExpectEmptyListState(app);

    AddFiles(app, folder, {L"唯一.ppt"});
    CHECK_EQ(app.Rows(), std::vector<std::wstring>{folder + L"\\唯一.ppt"});
    CHECK(!app.Enabled(ControlId::cmdAdd));
    CHECK(app.Enabled(ControlId::cmdMerge));

    // The save dialog cancelled: nothing changes, and it can be shown again.
    for (int showing = 0; showing < 2; ++showing) {
        const FileDialogDriver save = OpenMergeDialog(app);
        CHECK_EQ(save.NameField(), std::wstring(L"合并结果.ppt"));
        CHECK_EQ(save.FileTypes(), std::vector<std::wstring>{L"*.ppt"});
        const std::wstring saveStart = save.Folder();
        std::printf("save dialog starts in %s\n", Utf8(saveStart).c_str());
        CHECK_EQ(saveStart, folder);
        save.Cancel();
        WaitFor("the save dialog to close", [&] { return !save.Open(); });
        app.Settle();
        CHECK(app.Enabled(ControlId::cmdUp));
        CHECK(app.Enabled(ControlId::cmdMerge));
        CHECK_EQ(app.StatusText(), std::wstring(L"就绪"));
    }
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// A selection far longer than 260 characters arrives whole and in order.
//
// A selection longer than even the program's buffer is not driven here: Wine 8's open dialog
// crashes inside GetOpenFileNameW when the selection does not fit (FNERR_BUFFERTOOSMALL), so
// that path cannot be exercised under Wine; on Windows the dialog reports the error and the
// program treats it like a cancel.
DRIVER_CASE(large_selection) {
    const Workspace work(L"large_selection");
    const std::wstring folder = work.Folder(L"十二个文件");
    const std::vector<std::wstring> twelve = LongNames(12, 40, L"演示文稿");
    for (const std::wstring& name : twelve) {
        work.WriteDeck(folder, name, {name});
    }
    CHECK(ResultLength(folder, twelve) > 260);
    AppSession app(work.Root(), {});

    AddFiles(app, folder, twelve);
    CHECK_EQ(app.Rows(), PathsIn(folder, twelve));
    CHECK(!app.Enabled(ControlId::cmdAdd));
    CHECK(app.Enabled(ControlId::cmdMerge));
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// An existing file chosen in the save dialog: the system asks first. "No" keeps the dialog
// open and the file untouched; "yes" lets the merge replace it.
DRIVER_CASE(overwrite_prompt) {
    const Workspace work(L"overwrite_prompt");
    const std::wstring folder = work.Folder(L"文件");
    work.WriteDeck(folder, L"一.ppt", {L"新一"});
    work.WriteDeck(folder, L"二.ppt", {L"新二"});
    const std::wstring existing =
        work.WriteDeck(work.Folder(L"旧结果"), L"合并结果.ppt", {L"旧的"});
    AppSession app(work.Root(), {{L"FOLIOMIX_STANDIN_LOG", work.LogPath()}});
    AddFiles(app, folder, {L"一.ppt", L"二.ppt"});

    const FileDialogDriver save = OpenMergeDialog(app);
    save.Choose({existing});
    HWND question = WaitForDialog(save.Handle(), DialogKind::MessageBox);
    MessageBoxContent content = ReadMessageBox(question);
    std::printf("overwrite prompt: %s / %s\n", Utf8(content.title).c_str(),
                Utf8(content.text).c_str());
    // The system's own question (its wording is the system's): replace, yes or no.
    CHECK(!content.text.empty());
    CHECK_EQ(content.buttons.size(), 2U);
    CHECK(std::find(content.buttons.begin(), content.buttons.end(), IDYES) !=
          content.buttons.end());
    CHECK(std::find(content.buttons.begin(), content.buttons.end(), IDNO) != content.buttons.end());
    PressButton(question, IDNO);
    WaitFor("the question to close", [&] { return !AppSession::Exists(question); });
    app.Settle();
    CHECK(save.Open());
    CHECK(app.Enabled(ControlId::cmdMerge));
    CHECK(work.LogLines().empty());
    CHECK_EQ(ReadDeck(existing).value_or(std::vector<std::wstring>{}),
             std::vector<std::wstring>{L"旧的"});

    save.Choose({existing});
    question = WaitForDialog(save.Handle(), DialogKind::MessageBox);
    PressButton(question, IDYES);
    ExpectMessage(app, L"演示文稿合并完成！", L"恭喜");
    CHECK_EQ(ReadDeck(existing).value_or(std::vector<std::wstring>{}),
             (std::vector<std::wstring>{L"新一", L"新二"}));
    CHECK(AnyLineWith(work.LogLines(), L".SaveAs(\"" + existing + L"\")"));
    // After the completed run every button is greyed and ignores its clicks.
    app.Settle();
    ExpectGreyedButtonsIgnoreClicks(app);
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

}  // namespace foliomix::driver
