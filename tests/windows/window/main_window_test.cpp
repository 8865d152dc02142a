// Form1 in this process: the font, the icons, the list, buttons and status bar operations the
// core uses, the relayout on a change of density, and how the window behaves once closed.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/win32/main_window_win32.h"
#include "app/win32/window_layout.h"
#include "tests/unit/fake_server.h"

namespace foliomix::win32 {
namespace {

using design::ControlId;

NONCLIENTMETRICSW MetricsAt(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    return metrics;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    GetObjectW(handle, sizeof(font), &font);
    return font;
}

RECT RectInForm(HWND control, HWND form) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void DrainMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) {
            DispatchMessageW(&msg);
        }
    }
}

class Form1 : public ::testing::Test {
  protected:
    ~Form1() override { DrainMessages(); }

    [[nodiscard]] HWND Control(ControlId id) const {
        return GetDlgItem(window.Handle(), ControlIdentifier(id));
    }

    testing::CallLog log;
    testing::FakeServer server{log};
    Win32MainWindow window{GetModuleHandleW(nullptr), server};
};

TEST_F(Form1, EveryControlUsesTheSystemsMessageFont) {
    const NONCLIENTMETRICSW metrics = MetricsAt(GetDpiForWindow(window.Handle()));
    for (const design::ControlDesign& control : design::kControls) {
        SCOPED_TRACE(control.name);
        const LOGFONTW font = FontOf(Control(control.id));
        EXPECT_EQ(std::wstring(font.lfFaceName), std::wstring(metrics.lfMessageFont.lfFaceName));
        EXPECT_EQ(font.lfHeight, metrics.lfMessageFont.lfHeight);
    }
}

TEST_F(Form1, CarriesTheProgramIconInBothSizes) {
    struct Case {
        WPARAM which;
        int metric;
    };
    for (const Case c : {Case{ICON_BIG, SM_CXICON}, Case{ICON_SMALL, SM_CXSMICON}}) {
        const auto icon =
            reinterpret_cast<HICON>(SendMessageW(window.Handle(), WM_GETICON, c.which, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(c.metric));
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST_F(Form1, ListRowsAreReplacedInPlaceAndKeepTheSelectionOnItsIndex) {
    window.AddItem(u"C:\\甲.ppt");
    window.AddItem(u"C:\\乙.ppt");
    window.AddItem(u"C:\\丙.ppt");
    EXPECT_EQ(window.ListCount(), 3);
    EXPECT_EQ(window.ListIndex(), -1);
    // Adding never selects.
    SendMessageW(Control(ControlId::list), LB_SETCURSEL, 1, 0);
    window.AddItem(u"C:\\丁.ppt");
    EXPECT_EQ(window.ListIndex(), 1);

    window.SetList(1, u"C:\\新.ppt");
    EXPECT_EQ(window.List(1), u"C:\\新.ppt");
    EXPECT_EQ(window.ListIndex(), 1);
    // Writing another row neither moves nor adds the selection.
    window.SetList(2, u"C:\\乙.ppt");
    EXPECT_EQ(window.ListIndex(), 1);
    EXPECT_EQ(window.List(0), u"C:\\甲.ppt");
    EXPECT_EQ(window.List(2), u"C:\\乙.ppt");
    EXPECT_EQ(window.List(3), u"C:\\丁.ppt");
    EXPECT_EQ(window.ListCount(), 4);
    EXPECT_EQ(window.List(9), u"");
}

TEST_F(Form1, AGreyedButtonHandsTheFocusOnToTheNextControl) {
    window.Show(SW_SHOWNORMAL);
    SetFocus(Control(ControlId::cmdAdd));
    ASSERT_EQ(GetFocus(), Control(ControlId::cmdAdd));
    window.SetEnabled(ControlId::cmdAdd, false);
    EXPECT_FALSE(IsWindowEnabled(Control(ControlId::cmdAdd)));
    // cmdUp, cmdDown and cmdMerge are still greyed: the focus wraps round to the list.
    EXPECT_EQ(GetFocus(), Control(ControlId::list));
    window.SetEnabled(ControlId::cmdMerge, true);
    EXPECT_TRUE(IsWindowEnabled(Control(ControlId::cmdMerge)));
    EXPECT_EQ(GetFocus(), Control(ControlId::list));
}

TEST_F(Form1, StatusTextIsReplacedWhole) {
    wchar_t text[64] = {};
    SendMessageW(Control(ControlId::sb), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(text), L"就绪");
    window.SetSimpleText(u"正在合并演示文稿…10个已完成！");
    window.SetSimpleText(u"演示文稿合并完成！");
    SendMessageW(Control(ControlId::sb), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(text), L"演示文稿合并完成！");
}

TEST_F(Form1, MergeIsTheDefaultButton) {
    const auto defId = static_cast<DWORD>(SendMessageW(window.Handle(), DM_GETDEFID, 0, 0));
    EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defId), ControlIdentifier(ControlId::cmdMerge));
}

TEST_F(Form1, ANewDensityLaysTheWindowOutAgainWithAFontForIt) {
    window.Show(SW_SHOWNORMAL);
    RECT suggested{10, 20, 10 + 700, 20 + 520};
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    GetClientRect(window.Handle(), &client);
    EXPECT_EQ(client.right, 669);
    EXPECT_EQ(client.bottom, 480);
    for (const design::ControlDesign& control : design::kControls) {
        SCOPED_TRACE(control.name);
        const PixelRect expected = ControlPixels(control, 144);
        const RECT actual = RectInForm(Control(control.id), window.Handle());
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right - actual.left, expected.width);
        EXPECT_EQ(actual.bottom - actual.top, expected.height);
        EXPECT_EQ(FontOf(Control(control.id)).lfHeight, MetricsAt(144).lfMessageFont.lfHeight);
    }
    RECT frame{};
    GetWindowRect(window.Handle(), &frame);
    EXPECT_EQ(frame.left, 10);
    EXPECT_EQ(frame.top, 20);
}

TEST_F(Form1, CloseIsAcceptedAtOnceAndTheQuitWaitsForTheMainLoop) {
    window.Show(SW_SHOWNORMAL);
    window.AddItem(u"C:\\甲.ppt");
    PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
    window.ProcessPendingEvents();
    EXPECT_FALSE(window.IsOpen());
    EXPECT_EQ(window.Handle(), nullptr);
    // The quit request is left for the main message loop.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    // Nothing reaches the window any more; no modal box is shown.
    EXPECT_EQ(window.ListCount(), 0);
    EXPECT_EQ(window.ListIndex(), -1);
    window.AddItem(u"C:\\乙.ppt");
    window.SetSimpleText(u"x");
    window.ShowMessage(u"演示文稿合并完成！", u"恭喜");
    EXPECT_EQ(window.ShowSave(), DialogOutcome::Cancelled);
    EXPECT_EQ(window.ShowOpen(), DialogOutcome::Cancelled);
}

}  // namespace
}  // namespace foliomix::win32
