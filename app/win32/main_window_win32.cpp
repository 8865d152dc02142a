#include "app/win32/main_window_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "app/win32/resource_ids.h"
#include "app/win32/wide_text.h"
#include "app/win32/window_layout.h"

namespace foliomix::win32 {
namespace {

using design::ControlId;
using design::ControlKind;

// A fixed border with a caption, the system menu and its close box; no sizing border, no
// minimize or maximize box.
// The frame paints only its border and caption: the window erases the frame's inside, so it
// does not clip its children.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kFormExStyle = 0;

void RegisterFormClass(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = windowProc;
    // Form1 is a dialog-class window: the dialog manager keeps its focus, moves the default
    // button with the focus and answers DM_GETDEFID, and IsDialogMessage gives Tab, Shift+Tab
    // and Enter their usual meaning.
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_FOLIOMIX), IMAGE_ICON,
                                             0, 0, LR_DEFAULTSIZE | LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_FOLIOMIX), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kForm1ClassName;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("cannot register the window class");
    }
}

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassOf(const design::ControlDesign& control) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (control.kind) {
        case ControlKind::Frame:
            return {WC_BUTTONW, child | BS_GROUPBOX, 0};
        case ControlKind::ListBox:
            // Single selection, unsorted, exactly the designed height.
            return {
                WC_LISTBOXW,
                child | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE};
        case ControlKind::PushButton:
            return {
                WC_BUTTONW,
                child | WS_TABSTOP |
                    static_cast<DWORD>(control.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                0};
        case ControlKind::StatusBar:
            // Placed by the design's rectangle rather than by the control itself; no size grip
            // on a window that cannot be resized.
            return {STATUSCLASSNAMEW, child | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0};
    }
    throw std::logic_error("unknown control kind");
}

UniqueFont CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
        throw std::runtime_error("cannot read the system's user-interface font");
    }
    UniqueFont font(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!font) {
        throw std::runtime_error("cannot create the user-interface font");
    }
    return font;
}

SIZE FormSize(UINT dpi) {
    const PixelRect client = ClientAreaPixels(static_cast<int>(dpi));
    RECT rect{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&rect, kFormStyle, FALSE, kFormExStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The list's device context with a font selected, for measuring rows; gives both back at its end.
class MeasuringDc {
  public:
    MeasuringDc(HWND window, HFONT font)
        : window_(window), dc_(GetDC(window)), previous_(dc_ ? SelectObject(dc_, font) : nullptr) {}
    ~MeasuringDc() {
        if (dc_) {
            SelectObject(dc_, previous_);
            ReleaseDC(window_, dc_);
        }
    }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;

    // The width of `text` in pixels; 0 when there is nothing to measure with.
    [[nodiscard]] int Width(std::wstring_view text) const {
        SIZE extent{};
        if (!dc_ || text.empty() ||
            !GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &extent)) {
            return 0;
        }
        return static_cast<int>(extent.cx);
    }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ previous_;
};

UniqueIcon LoadProgramIcon(HINSTANCE instance, int metricX, int metricY, UINT dpi) {
    return UniqueIcon(static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_FOLIOMIX), IMAGE_ICON, GetSystemMetricsForDpi(metricX, dpi),
        GetSystemMetricsForDpi(metricY, dpi), LR_DEFAULTCOLOR)));
}

}  // namespace

Win32MainWindow::Win32MainWindow(HINSTANCE instance, PresentationServer& server)
    : instance_(instance),
      ofd_(FileDialogKind::Open, design::kOfd, 0, kOpenResultChars),
      // The system asks before an existing file is replaced; a "no" keeps the dialog open.
      sfd_(FileDialogKind::Save, design::kSfd, OFN_OVERWRITEPROMPT, kSaveResultChars),
      mergeList_(*this, u'\\'),
      mergeRun_(*this, server) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterFormClass(instance, &WindowProc);
    const std::wstring caption = ToWide(design::kForm1.caption);
    // window_ owns the window from its first message on (WM_NCCREATE): should anything below
    // throw, its destruction destroys the window before this object's members go.
    if (!CreateWindowExW(kFormExStyle, kForm1ClassName, caption.c_str(), kFormStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                         this)) {
        throw std::runtime_error("cannot create the main window");
    }
    CreateControls();
    ApplyDpi(GetDpiForWindow(Handle()), nullptr);
    SendMessageW(Handle(), DM_SETDEFID,
                 static_cast<WPARAM>(ControlIdentifier(design::ControlId::cmdMerge)), 0);
}

void Win32MainWindow::Show(int showCommand) {
    ShowWindow(Handle(), showCommand);
    UpdateWindow(Handle());
}

void Win32MainWindow::RethrowHandlerFailure() const {
    if (handlerFailure_) {
        std::rethrow_exception(handlerFailure_);
    }
}

void Win32MainWindow::CreateControls() {
    // Created in tab order: the dialog manager moves the focus in creation order.
    for (const design::ControlDesign& control : design::kControls) {
        const ControlClass cls = ClassOf(control);
        const std::wstring text = ToWide(control.text);
        const DWORD style = cls.style | (control.enabledAtStart ? 0 : WS_DISABLED);
        const int identifier = ControlIdentifier(control.id);
        HWND handle = CreateWindowExW(
            cls.exStyle, cls.className, control.kind == ControlKind::StatusBar ? L"" : text.c_str(),
            style, 0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(identifier)),
            instance_, nullptr);
        if (!handle) {
            throw std::runtime_error("cannot create a control of the main window");
        }
        controls_.at(static_cast<std::size_t>(control.id)) = handle;
        if (control.kind == ControlKind::StatusBar) {
            SendMessageW(handle, SB_SIMPLE, TRUE, 0);
            SendMessageW(handle, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    // The frame stands behind the controls it holds, so it never paints over them. Its place
    // in the z-order does not matter for the tab order: it takes no focus.
    SetWindowPos(Control(ControlId::Frame1), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32MainWindow::ApplyDpi(UINT dpi, const RECT* suggested) {
    HWND form = Handle();
    UniqueFont font = CreateMessageFont(dpi);
    SIZE size = FormSize(dpi);
    SetWindowPos(form, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
                 size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0U : static_cast<UINT>(SWP_NOMOVE)));
    // Where the frame the system draws is not the one computed for this density, correct the
    // outer size by what the client area is off, so the client area keeps its twips size.
    const PixelRect wanted = ClientAreaPixels(static_cast<int>(dpi));
    RECT client{};
    GetClientRect(form, &client);
    if (client.right != wanted.width || client.bottom != wanted.height) {
        size.cx += wanted.width - client.right;
        size.cy += wanted.height - client.bottom;
        SetWindowPos(form, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    for (const design::ControlDesign& control : design::kControls) {
        HWND handle = Control(control.id);
        const PixelRect rect = ControlPixels(control, static_cast<int>(dpi));
        SetWindowPos(handle, nullptr, rect.left, rect.top, rect.width, rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    // The controls use the new font now; the old one may go.
    font_ = std::move(font);
    // The window shows the icons it was given until it is given others: the old ones may go
    // only once the new ones are in place. A size that cannot be loaded keeps the old icon.
    UniqueIcon bigIcon = LoadProgramIcon(instance_, SM_CXICON, SM_CYICON, dpi);
    UniqueIcon smallIcon = LoadProgramIcon(instance_, SM_CXSMICON, SM_CYSMICON, dpi);
    if (bigIcon) {
        SendMessageW(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    }
    if (smallIcon) {
        SendMessageW(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    }
    if (bigIcon) {
        bigIcon_ = std::move(bigIcon);
    }
    if (smallIcon) {
        smallIcon_ = std::move(smallIcon);
    }
    MeasureAllRows();
}

void Win32MainWindow::MeasureAllRows() {
    HWND list = Control(ControlId::list);
    const MeasuringDc dc(list, font_.get());
    int widest = 0;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        const auto row = static_cast<WPARAM>(i);
        text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1);
        const LRESULT length =
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
        widest =
            std::max(widest, dc.Width(std::wstring_view(
                                 text.data(), length < 0 ? 0 : static_cast<std::size_t>(length))));
    }
    SetListExtent(widest);
}

void Win32MainWindow::WidenListExtentTo(const std::wstring& row) {
    // One row measured per change, never the whole list: a selection of thousands of files is
    // added row by row.
    HWND list = Control(ControlId::list);
    const int width = MeasuringDc(list, font_.get()).Width(row);
    if (width > widestRow_) {
        SetListExtent(width);
    }
}

void Win32MainWindow::SetListExtent(int widest) {
    // Full paths are often wider than the list: let it scroll sideways to their ends, with a
    // few pixels to spare beyond the last character.
    widestRow_ = widest;
    SendMessageW(Control(ControlId::list), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8),
                 0);
}

HWND Win32MainWindow::Control(ControlId id) const {
    return controls_.at(static_cast<std::size_t>(id));
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_.Own(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefDlgProcW(hwnd, message, wParam, lParam);
    }
    // No exception may unwind through the system's frames: keep it, close the window and let
    // the message loop rethrow it.
    try {
        return self->HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        self->handlerFailure_ = std::current_exception();
        // Destroyed while still owned, like a close: the message loop is asked to end.
        if (HWND window = self->window_.Get()) {
            DestroyWindow(window);
        }
        return 0;
    }
}

LRESULT Win32MainWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const auto control = reinterpret_cast<HWND>(lParam);
            if (HIWORD(wParam) != BN_CLICKED || !control || !IsWindowEnabled(control)) {
                return 0;  // Enter and Esc without a button, and clicks on greyed buttons
            }
            for (const ControlId button :
                 {ControlId::cmdAdd, ControlId::cmdUp, ControlId::cmdDown, ControlId::cmdMerge}) {
                if (LOWORD(wParam) == ControlIdentifier(button) && control == Control(button)) {
                    OnClick(button);
                }
            }
            return 0;
        }
        case WM_CLOSE:
            // Accepted at once, whatever the list holds. During a merge run the run notices at
            // its next event point and returns; the process ends after that.
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            // Closed while this object lives on (by the user, or after a handler failed): the
            // window is gone for the core from now on and the program's message loop ends.
            // When this object ends it has given the window up already, and nothing quits.
            if (window_.Release()) {
                PostQuitMessage(0);
            }
            break;
        case WM_NCDESTROY:
            // The window's last message: nothing reaches this object through it any more.
            window_.Release();
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            controls_ = {};
            break;
        case WM_GETDPISCALEDSIZE: {
            // The client area keeps its twips size exactly at the new density.
            *reinterpret_cast<SIZE*>(lParam) = FormSize(LOWORD(wParam));
            return TRUE;
        }
        case WM_DPICHANGED:
            ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            break;
    }
    return DefDlgProcW(hwnd, message, wParam, lParam);
}

void Win32MainWindow::OnClick(ControlId button) {
    switch (button) {
        case ControlId::cmdAdd:
            mergeList_.Add();
            break;
        case ControlId::cmdUp:
            mergeList_.MoveUp();
            break;
        case ControlId::cmdDown:
            mergeList_.MoveDown();
            break;
        case ControlId::cmdMerge:
            mergeRun_.Run();
            break;
        default:
            break;
    }
}

void Win32MainWindow::AddItem(std::u16string_view text) {
    if (!IsOpen()) {
        return;
    }
    const std::wstring row = ToWide(text);
    SendMessageW(Control(ControlId::list), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    WidenListExtentTo(row);
}

std::int16_t Win32MainWindow::ListCount() const {
    if (!IsOpen()) {
        return 0;
    }
    return static_cast<std::int16_t>(SendMessageW(Control(ControlId::list), LB_GETCOUNT, 0, 0));
}

std::int16_t Win32MainWindow::ListIndex() const {
    if (!IsOpen()) {
        return -1;
    }
    // LB_ERR, -1, when no row is selected.
    return static_cast<std::int16_t>(SendMessageW(Control(ControlId::list), LB_GETCURSEL, 0, 0));
}

std::u16string Win32MainWindow::List(std::int16_t index) const {
    if (!IsOpen()) {
        return {};
    }
    HWND list = Control(ControlId::list);
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return FromWide(text);
}

void Win32MainWindow::SetList(std::int16_t index, std::u16string_view text) {
    if (!IsOpen()) {
        return;
    }
    HWND list = Control(ControlId::list);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const std::wstring row = ToWide(text);
    // A list box replaces a row by deleting it and inserting the new text at its place.
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(row.c_str()));
    if (selected == index) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    // A replaced row only ever widens the extent. Move up and Move down, which write the rows,
    // swap two rows' texts, so the widest text stays in the list; were a row ever to shrink,
    // the stale wider extent would only let the list scroll a little past its widest row.
    WidenListExtentTo(row);
}

void Win32MainWindow::SetEnabled(ControlId button, bool enabled) {
    if (!IsOpen()) {
        return;
    }
    HWND handle = Control(button);
    // A greyed button cannot keep the keyboard focus: it goes on to the control Tab would
    // reach next, so the keyboard keeps working where the user was. That control is found
    // while the button still has the focus (the system drops the focus of a window it greys);
    // the dialog manager passes over greyed controls and wraps round after the last one.
    HWND next =
        !enabled && GetFocus() == handle ? GetNextDlgTabItem(Handle(), handle, FALSE) : nullptr;
    EnableWindow(handle, enabled ? TRUE : FALSE);
    if (next && next != handle) {
        SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    }
}

void Win32MainWindow::SetSimpleText(std::u16string_view text) {
    if (!IsOpen()) {
        return;
    }
    const std::wstring status = ToWide(text);
    SendMessageW(Control(ControlId::sb), SB_SETTEXTW, SB_SIMPLEID,
                 reinterpret_cast<LPARAM>(status.c_str()));
}

void Win32MainWindow::SetOpenFlags(std::uint32_t flags) { ofd_.SetFlags(flags); }

DialogOutcome Win32MainWindow::ShowOpen() {
    return IsOpen() ? ofd_.Show(Handle()) : DialogOutcome::Cancelled;
}

std::u16string Win32MainWindow::OpenFileName() const { return ofd_.FileName(); }

DialogOutcome Win32MainWindow::ShowSave() {
    return IsOpen() ? sfd_.Show(Handle()) : DialogOutcome::Cancelled;
}

std::u16string Win32MainWindow::SaveFileName() const { return sfd_.FileName(); }

void Win32MainWindow::ShowMessage(std::u16string_view text, std::u16string_view title) {
    if (!IsOpen()) {
        return;
    }
    const std::wstring wideText = ToWide(text);
    const std::wstring wideTitle = ToWide(title);
    MessageBoxW(Handle(), wideText.c_str(), wideTitle.c_str(), MB_OK);
}

void Win32MainWindow::Beep() {
    // The sound the user chose as the system's default beep; it plays through the sound card,
    // where the speaker beep (0xFFFFFFFF) is silent on most machines without a PC speaker.
    MessageBeep(MB_OK);
}

void Win32MainWindow::ProcessPendingEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The window is gone: leave the quit request for the main message loop, which
            // ends the program once the running handler has returned.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (Handle() && IsDialogMessageW(Handle(), &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace foliomix::win32
