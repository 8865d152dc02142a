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

void ExpectGreyedButtonsIgnoreClicks(const AppSession& app) {
    const std::size_t count = app.Rows().size();
    if (count < 2) {
        throw DriverError("greyed buttons are tried on a list of at least two rows");
    }
    struct Click {
        ControlId button;
        int selectedRow;
    };
    const int last = static_cast<int>(count) - 1;
    for (const Click click : {Click{ControlId::cmdUp, last}, Click{ControlId::cmdDown, 0},
                              Click{ControlId::cmdAdd, 0}, Click{ControlId::cmdMerge, last}}) {
        const std::string name(design::Control(click.button).name);
        CHECK(!app.Enabled(click.button));
        app.SelectRow(click.selectedRow);
        // Each click against the rows just before it, so that one move cannot hide another.
        const std::vector<std::wstring> rows = app.Rows();
        // A handler that ran would be showing its modal dialog and keep the window from
        // answering, or would have moved the selected row.
        if (!app.ClickIsIgnored(click.button)) {
            ReportFailure(__FILE__, __LINE__, "the greyed " + name + " opened a dialog");
        }
        app.Settle();
        if (OwnedDialog(app.Form()) != nullptr) {
            ReportFailure(__FILE__, __LINE__, "the greyed " + name + " shows a dialog");
        }
        if (app.Rows() != rows || app.SelectedRow() != click.selectedRow) {
            ReportFailure(__FILE__, __LINE__, "the greyed " + name + " moved a row");
        }
    }
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
