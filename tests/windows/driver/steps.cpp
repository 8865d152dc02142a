#include "tests/windows/driver/steps.h"

#include "tests/windows/driver/check.h"

namespace foliomix::driver {

using design::ControlId;

FileDialogDriver OpenAddDialog(const AppSession& app) {
    app.Click(ControlId::cmdAdd);
    return FileDialogDriver(app, WaitForDialog(app.Form(), DialogKind::FileDialog));
}

void AddFiles(const AppSession& app, const std::wstring& folder,
              const std::vector<std::wstring>& names) {
    const FileDialogDriver dialog = OpenAddDialog(app);
    dialog.OpenFolder(folder);
    dialog.Choose(names);
    WaitFor("the open dialog to close", [&] { return !dialog.Open(); });
    app.Settle();
}

FileDialogDriver OpenMergeDialog(const AppSession& app) {
    app.Click(ControlId::cmdMerge);
    return FileDialogDriver(app, WaitForDialog(app.Form(), DialogKind::FileDialog));
}

void ExpectMessage(const AppSession& app, const std::wstring& text, const std::wstring& title) {
    HWND box = WaitForDialog(app.Form(), DialogKind::MessageBox);
    const MessageBoxContent content = ReadMessageBox(box);
    CHECK_EQ(content.text, text);
    CHECK_EQ(content.title, title);
    CHECK_EQ(content.buttons.size(), 1U);
    CHECK(content.buttons.size() == 1 && content.buttons.front() == IDOK);
    CHECK(!content.icon);
    PressButton(box, IDOK);
    WaitFor("the message box to close", [&] { return !AppSession::Exists(box); });
}

void WaitUntilNoDialog(const AppSession& app) {
    WaitFor("Form1 to show no dialog", [&] { return OwnedDialog(app.Form()) == nullptr; });
}

std::vector<std::wstring> PathsIn(const std::wstring& folder,
                                  const std::vector<std::wstring>& names) {
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) {
        paths.push_back(folder + L"\\" + name);
    }
    return paths;
}

}  // namespace foliomix::driver
