// Form1 itself: its state, geometry, font and resources at start, the keyboard's tab order,
// greyed buttons that ignore clicks, closing, and a screenshot under Wine's desktop.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <sstream>

#include "tests/windows/driver/app_session.h"
#include "tests/windows/driver/check.h"
#include "tests/windows/driver/driver_case.h"
#include "tests/windows/driver/screenshot.h"
#include "tests/windows/driver/steps.h"
#include "tests/windows/driver/workspace.h"

namespace foliomix::driver {
namespace {

using design::ControlId;

struct ExpectedControl {
    ControlId id;
    const wchar_t* text;
    RECT pixelsAt96;  // left, top, right, bottom in Form1's client area
    bool enabled;
};

// Form1's controls as designed, in client-area pixels at 96 dpi (the frame's children moved
// by the frame's own offset of 8, 8).
constexpr std::array<ExpectedControl, 7> kExpectedControls{{
    {ControlId::Frame1, L"选择要合并的ppt文件", {8, 8, 433, 225}, true},
    {ControlId::list, L"", {32, 40, 329, 200}, true},
    {ControlId::cmdAdd, L"添加", {344, 48, 417, 73}, true},
    {ControlId::cmdUp, L"上移", {344, 104, 417, 129}, false},
    {ControlId::cmdDown, L"下移", {344, 160, 417, 185}, false},
    {ControlId::cmdMerge, L"开始合并", {80, 248, 185, 289}, false},
    {ControlId::sb, L"", {0, 303, 446, 320}, true},
}};

int Scale(int pixelsAt96, UINT dpi) { return MulDiv(pixelsAt96, static_cast<int>(dpi), 96); }

std::wstring WindowText(HWND window) {
    std::wstring text(512, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), 512)));
    return text;
}

RECT ClientRectOf(HWND control, HWND form) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Describe(const RECT& rect) {
    std::ostringstream out;
    out << rect.left << "," << rect.top << "-" << rect.right << "," << rect.bottom;
    return out.str();
}

void CheckRect(const RECT& actual, const RECT& expected, const char* what) {
    if (!EqualRect(&actual, &expected)) {
        std::ostringstream message;
        message << what << " is at " << Describe(actual) << ", expected " << Describe(expected);
        ReportFailure(__FILE__, __LINE__, message.str());
    }
}

}  // namespace

// At start: caption, border, every control's text, place, state and font; the list and the
// status bar as designed; the focus on the list.
DRIVER_CASE(start_state) {
    const Workspace work(L"start_state");
    AppSession app(work.Root(), {});
    CHECK_EQ(app.Caption(), std::wstring(L"Foliomix 1.0"));

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(app.Form(), GWL_STYLE));
    CHECK((style & WS_CAPTION) == WS_CAPTION);
    CHECK((style & WS_SYSMENU) != 0);
    CHECK((style & WS_THICKFRAME) == 0);
    CHECK((style & WS_MINIMIZEBOX) == 0);
    CHECK((style & WS_MAXIMIZEBOX) == 0);

    const UINT dpi = GetDpiForWindow(app.Form());
    RECT client{};
    GetClientRect(app.Form(), &client);
    CHECK_EQ(client.right, Scale(446, dpi));
    CHECK_EQ(client.bottom, Scale(320, dpi));

    for (const ExpectedControl& expected : kExpectedControls) {
        const char* name = design::Control(expected.id).name.data();
        HWND control = app.Control(expected.id);
        if (expected.id != ControlId::sb) {
            CHECK_EQ(WindowText(control), std::wstring(expected.text));
        }
        CHECK_EQ(app.Enabled(expected.id), expected.enabled);
        CHECK(IsWindowVisible(control) != 0);
        const RECT& at96 = expected.pixelsAt96;
        CheckRect(ClientRectOf(control, app.Form()),
                  RECT{Scale(at96.left, dpi), Scale(at96.top, dpi), Scale(at96.right, dpi),
                       Scale(at96.bottom, dpi)},
                  name);
    }

    const auto listStyle =
        static_cast<DWORD>(GetWindowLongPtrW(app.Control(ControlId::list), GWL_STYLE));
    CHECK((listStyle & LBS_SORT) != LBS_SORT);
    CHECK((listStyle & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) == 0);
    CHECK(app.Rows().empty());
    CHECK_EQ(app.SelectedRow(), -1);

    CHECK(SendMessageW(app.Control(ControlId::sb), SB_ISSIMPLE, 0, 0) != 0);
    CHECK_EQ(app.StatusText(), std::wstring(L"就绪"));
    CHECK(Eventually([&] { return app.Focus() == app.Control(ControlId::list); }, kPatience));

    // The greyed 开始合并 takes no click: its handler would be showing the save dialog now.
    // (上移 and 下移 are tried where a handled click would move a row: tab_order.)
    CHECK(app.ClickIsIgnored(ControlId::cmdMerge));
    CHECK(OwnedDialog(app.Form()) == nullptr);
    CHECK_EQ(app.StatusText(), std::wstring(L"就绪"));

    // Closing asks nothing and ends the program.
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

// Tab and Shift+Tab go through the controls in tab order and skip greyed buttons, before and
// after files were added; the frame and the status bar never take the focus. Greyed buttons
// ignore clicks: 添加 after the files were added, and every button after a merge run, which
// fails here for want of an engine.
DRIVER_CASE(tab_order) {
    const Workspace work(L"tab_order");
    const std::wstring folder = work.Folder(L"幻灯片");
    work.WriteDeck(folder, L"一.ppt", {L"A"});
    work.WriteDeck(folder, L"二.ppt", {L"B"});
    AppSession app(work.Root(), {});
    const HWND list = app.Control(ControlId::list);
    const HWND add = app.Control(ControlId::cmdAdd);
    const HWND up = app.Control(ControlId::cmdUp);
    const HWND down = app.Control(ControlId::cmdDown);
    const HWND merge = app.Control(ControlId::cmdMerge);

    auto expectFocusAfterTab = [&](bool shift, HWND expected, const char* what) {
        app.PressTab(shift);
        if (!Eventually([&] { return app.Focus() == expected; }, milliseconds(3000))) {
            ReportFailure(__FILE__, __LINE__, what);
        }
    };
    CHECK(Eventually([&] { return app.Focus() == list; }, kPatience));
    expectFocusAfterTab(false, add, "Tab to 添加");
    expectFocusAfterTab(false, list, "Tab past the greyed buttons to the list");
    expectFocusAfterTab(true, add, "Shift+Tab back to 添加");
    expectFocusAfterTab(true, list, "Shift+Tab to the list");

    AddFiles(app, folder, {L"一.ppt", L"二.ppt"});
    // 添加 is greyed now; the focus it had has moved on to a control that can take it.
    CHECK(!app.Enabled(ControlId::cmdAdd));
    const HWND focus = app.Focus();
    CHECK(focus != nullptr && focus != add && IsWindowEnabled(focus));
    // A click on it does not show the open dialog a second time.
    CHECK(app.ClickIsIgnored(ControlId::cmdAdd));
    CHECK(OwnedDialog(app.Form()) == nullptr);
    CHECK_EQ(app.Rows(), PathsIn(folder, {L"一.ppt", L"二.ppt"}));

    app.SelectRow(0);
    PostMessageW(app.Form(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    WaitFor("the focus on the list", [&] { return app.Focus() == list; });
    expectFocusAfterTab(false, up, "Tab to 上移");
    expectFocusAfterTab(false, down, "Tab to 下移");
    expectFocusAfterTab(false, merge, "Tab to 开始合并");
    expectFocusAfterTab(false, list, "Tab past 添加 and the status bar to the list");
    expectFocusAfterTab(true, merge, "Shift+Tab to 开始合并");
    expectFocusAfterTab(true, down, "Shift+Tab to 下移");

    // No engine is installed: the run greys every button and ends with its failure box.
    const FileDialogDriver save = OpenMergeDialog(app);
    save.Choose({work.Root() + L"\\结果.ppt"});
    ExpectMessage(app, L"出错，系统没有安装 MS PowerPoint", L"合并演示文稿");
    app.Settle();
    ExpectGreyedButtonsIgnoreClicks(app);

    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

}  // namespace foliomix::driver

namespace foliomix::driver {

// Form1 with Chinese file names in its list, photographed for a person to look at: written to
// foliomix-window.bmp in the --out folder.
DRIVER_CASE(screenshot) {
    const Workspace work(L"screenshot");
    const std::wstring folder = work.Folder(L"季度汇报");
    const std::vector<std::wstring> names{L"第一季度总结.ppt", L"市场分析报告.ppt",
                                          L"明年工作计划.ppt"};
    for (const std::wstring& name : names) {
        work.WriteDeck(folder, name, {name});
    }
    AppSession app(work.Root(), {});
    AddFiles(app, folder, names);
    app.SelectRow(1);
    CHECK_EQ(app.Rows(), PathsIn(folder, names));
    CHECK(!OutputFolder().empty());
    SetForegroundWindow(app.Form());
    // Let the window repaint after the dialog has gone.
    Sleep(500);
    SaveScreenshot(OutputFolder() + L"\\foliomix-window.bmp");
    app.Close();
    CHECK_EQ(app.WaitForExit(), 0UL);
}

}  // namespace foliomix::driver
