#include "app/win32/window_class.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "app/form_geometry.h"
#include "app/win32/resource_ids.h"
#include "app/win32/wide_text.h"
#include "app/win32/win32_error.h"

namespace foliomix::win32 {
namespace {

using design::ControlKind;

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

}  // namespace

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
    if (!RegisterClassExW(&wc)) {
        const DWORD error = GetLastError();
        if (error != ERROR_CLASS_ALREADY_EXISTS) {
            ThrowWin32Error("cannot register the window class", error);
        }
    }
}

SIZE FormSize(UINT dpi) {
    const design::PixelRect client = design::ClientAreaPixels(static_cast<int>(dpi));
    RECT rect{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&rect, kFormStyle, FALSE, kFormExStyle, dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

HWND CreateFormControl(const design::ControlDesign& control, HWND form, HINSTANCE instance) {
    const ControlClass cls = ClassOf(control);
    const std::wstring text = ToWide(control.text);
    const DWORD style = cls.style | (control.enabledAtStart ? 0 : WS_DISABLED);
    const int identifier = ControlIdentifier(control.id);
    HWND handle = CreateWindowExW(
        cls.exStyle, cls.className, control.kind == ControlKind::StatusBar ? L"" : text.c_str(),
        style, 0, 0, 0, 0, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(identifier)),
        instance, nullptr);
    if (!handle) {
        ThrowLastWin32Error("cannot create a control of the main window");
    }
    if (control.kind == ControlKind::StatusBar) {
        SendMessageW(handle, SB_SIMPLE, TRUE, 0);
        SendMessageW(handle, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
    }
    return handle;
}

}  // namespace foliomix::win32
