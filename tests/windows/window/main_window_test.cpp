// Form1 in this process: the font, the icons, the list, buttons and status bar operations the
// core uses, the relayout on a change of density, how the window behaves once closed, and that
// a window whose controls cannot all be created is not left behind.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "app/form_geometry.h"
#include "app/win32/main_window_win32.h"
#include "app/win32/wide_text.h"
#include "tests/unit/fake_server.h"

namespace foliomix::win32 {
namespace {

using design::ControlId;
using design::ControlPixels;
using design::PixelRect;

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

bool QuitRequested() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

bool IsForm1(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return std::wstring(name) == kForm1ClassName;
}

// The Form1 windows that exist on this thread.
std::vector<HWND> Form1Windows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            if (IsForm1(window)) {
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

struct HookDeleter {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using UniqueHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookDeleter>;

// While it lives, the system refuses to create the control of Form1 with this identifier, as
// it does when it runs out of window resources.
class ControlCreationRefused {
  public:
    explicit ControlCreationRefused(ControlId id)
        : hook_(SetWindowsHookExW(WH_CBT, &Refuse, nullptr, GetCurrentThreadId())) {
        refused = ControlIdentifier(id);
        EXPECT_NE(hook_, nullptr);
    }

  private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
            if ((create->style & WS_CHILD) != 0 &&
                reinterpret_cast<INT_PTR>(create->hMenu) == refused &&
                IsForm1(create->hwndParent)) {
                return 1;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline int refused = 0;
    UniqueHook hook_;
};

// For every WM_SETICON that reaches a Form1 window: whether the icon it replaces, if any, is
// still a live icon at that moment.
class IconReplacementWatch {
  public:
    IconReplacementWatch()
        : hook_(SetWindowsHookExW(WH_CALLWNDPROC, &Watch, nullptr, GetCurrentThreadId())) {
        replacedAlive.clear();
        EXPECT_NE(hook_, nullptr);
    }

    static inline std::vector<bool> replacedAlive;

  private:
    static LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_SETICON && IsForm1(call->hwnd)) {
            const auto current =
                reinterpret_cast<HICON>(SendMessageW(call->hwnd, WM_GETICON, call->wParam, 0));
            if (current) {
                ICONINFO info{};
                const bool alive = GetIconInfo(current, &info) != FALSE;
                if (alive) {
                    DeleteObject(info.hbmColor);
                    DeleteObject(info.hbmMask);
                }
                replacedAlive.push_back(alive);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    UniqueHook hook_;
};

// The width of an icon's image in pixels, 0 for a handle that is no icon.
int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) {
        return 0;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The width of `text` in the font a control uses.
int TextWidthIn(HWND control, const std::wstring& text) {
    struct Dc {
        HWND window;
        HDC dc;
        ~Dc() { ReleaseDC(window, dc); }
    } dc{control, GetDC(control)};
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(dc.dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc.dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc.dc, previous);
    return static_cast<int>(extent.cx);
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
        EXPECT_EQ(IconWidth(icon), GetSystemMetrics(c.metric));
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
    struct Case {
        const char* what;
        bool add, up, down, merge;  // which buttons are enabled before the change
        ControlId focused;
        ControlId changed;
        bool enable;
        ControlId expectedFocus;
    };
    const Case cases[] = {
        {"上移 greyed: on to 下移", false, true, true, false, ControlId::cmdUp, ControlId::cmdUp,
         false, ControlId::cmdDown},
        {"下移 greyed: on to 开始合并", true, true, true, true, ControlId::cmdDown,
         ControlId::cmdDown, false, ControlId::cmdMerge},
        {"添加 greyed: past the greyed 上移 and 下移 to 开始合并", true, false, false, true,
         ControlId::cmdAdd, ControlId::cmdAdd, false, ControlId::cmdMerge},
        {"添加 greyed with nothing enabled after it: round to the list", true, false, false, false,
         ControlId::cmdAdd, ControlId::cmdAdd, false, ControlId::list},
        {"开始合并 greyed: past the status bar round to the list", true, true, true, true,
         ControlId::cmdMerge, ControlId::cmdMerge, false, ControlId::list},
        {"another button greyed: the focus stays", false, true, true, true, ControlId::cmdMerge,
         ControlId::cmdDown, false, ControlId::cmdMerge},
        {"a button enabled: the focus stays", true, false, false, false, ControlId::list,
         ControlId::cmdMerge, true, ControlId::list},
    };
    window.Show(SW_SHOWNORMAL);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.SetEnabled(ControlId::cmdAdd, c.add);
        window.SetEnabled(ControlId::cmdUp, c.up);
        window.SetEnabled(ControlId::cmdDown, c.down);
        window.SetEnabled(ControlId::cmdMerge, c.merge);
        SetFocus(Control(c.focused));
        ASSERT_EQ(GetFocus(), Control(c.focused));
        window.SetEnabled(c.changed, c.enable);
        EXPECT_EQ(IsWindowEnabled(Control(c.changed)) != FALSE, c.enable);
        EXPECT_EQ(GetFocus(), Control(c.expectedFocus));
    }
}

TEST_F(Form1, TheListScrollsSidewaysToItsWidestRow) {
    const HWND list = Control(ControlId::list);
    auto extent = [&] {
        return static_cast<int>(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0));
    };
    // Room for the whole text of the widest row, and only a few pixels more.
    auto expectRoomFor = [&](std::u16string_view row) {
        const int width = TextWidthIn(list, ToWide(row));
        EXPECT_GE(extent(), width);
        EXPECT_LE(extent(), width + 16);
    };
    const std::u16string shortRow = u"C:\\甲.ppt";
    const std::u16string longRow = u"C:\\季度汇报\\二〇二四年\\第一季度\\市场分析报告（终稿）.ppt";
    window.AddItem(shortRow);
    expectRoomFor(shortRow);
    window.AddItem(longRow);
    expectRoomFor(longRow);
    // A narrower row added later, and two rows swapped as Move up does, keep the extent.
    window.AddItem(u"C:\\乙.ppt");
    expectRoomFor(longRow);
    window.SetList(0, longRow);
    window.SetList(1, shortRow);
    expectRoomFor(longRow);
    const int at96 = extent();

    // A new density brings a larger font: every row is measured again in it.
    window.Show(SW_SHOWNORMAL);
    RECT suggested{10, 20, 10 + 700, 20 + 520};
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    expectRoomFor(longRow);
    EXPECT_GT(extent(), at96);
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

TEST_F(Form1, ANewDensityGivesTheWindowIconsOfItsSizesAndKeepsTheOldOnesUntilReplaced) {
    window.Show(SW_SHOWNORMAL);
    const IconReplacementWatch watch;
    RECT suggested{10, 20, 10 + 700, 20 + 520};
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    // Both icons were replaced, each while the one it replaced was still alive: the window
    // shows an icon that has been deleted at no moment.
    EXPECT_EQ(IconReplacementWatch::replacedAlive, (std::vector<bool>{true, true}));

    struct Case {
        WPARAM which;
        int metric;
    };
    for (const Case c : {Case{ICON_BIG, SM_CXICON}, Case{ICON_SMALL, SM_CXSMICON}}) {
        SCOPED_TRACE(c.metric);
        const auto icon =
            reinterpret_cast<HICON>(SendMessageW(window.Handle(), WM_GETICON, c.which, 0));
        const int expected = GetSystemMetricsForDpi(c.metric, 144);
        EXPECT_NE(expected, GetSystemMetricsForDpi(c.metric, 96));
        EXPECT_EQ(IconWidth(icon), expected);
    }
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

// The object ends with its window still open (the program's end after its loop, or a test's):
// the window goes with it, and no quit request is left for a loop that has ended already.
TEST(Form1Lifetime, EndingTheObjectDestroysTheOpenWindowAndAsksNoLoopToQuit) {
    DrainMessages();
    testing::CallLog log;
    testing::FakeServer server{log};
    HWND handle = nullptr;
    {
        const Win32MainWindow window(GetModuleHandleW(nullptr), server);
        handle = window.Handle();
        ASSERT_TRUE(IsWindow(handle));
    }
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(Form1Windows().empty());
    EXPECT_FALSE(QuitRequested());
}

// A control that cannot be created fails the construction; the window made until then goes
// with it, so no message can reach the object that never was.
class Form1Construction : public ::testing::TestWithParam<ControlId> {};

TEST_P(Form1Construction, AControlThatCannotBeCreatedLeavesNoWindowBehind) {
    DrainMessages();
    testing::CallLog log;
    testing::FakeServer server{log};
    {
        const ControlCreationRefused refused(GetParam());
        EXPECT_THROW({ const Win32MainWindow window(GetModuleHandleW(nullptr), server); },
                     std::runtime_error);
    }
    EXPECT_TRUE(Form1Windows().empty());
    // Whatever the failed construction left queued is handled without reaching it.
    DrainMessages();
    EXPECT_FALSE(QuitRequested());
    // The class stays registered and usable: the next window is made whole.
    const Win32MainWindow window(GetModuleHandleW(nullptr), server);
    EXPECT_EQ(window.ListCount(), 0);
    EXPECT_NE(GetDlgItem(window.Handle(), ControlIdentifier(GetParam())), nullptr);
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleAndLastControl, Form1Construction,
                         ::testing::Values(ControlId::Frame1, ControlId::cmdUp, ControlId::sb),
                         [](const ::testing::TestParamInfo<ControlId>& param) {
                             return std::string(design::Control(param.param).name);
                         });

}  // namespace
}  // namespace foliomix::win32
