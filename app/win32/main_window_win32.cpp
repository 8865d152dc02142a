// Form1's creation, its window procedure and the clicks it hands to the core.
#include "app/win32/main_window_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <stdexcept>
#include <string>

#include "app/win32/message_pump.h"
#include "app/win32/wide_text.h"
#include "app/win32/win32_error.h"

namespace foliomix::win32 {

using design::ControlId;

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
        ThrowLastWin32Error("cannot create the main window");
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
        controls_.at(static_cast<std::size_t>(control.id)) =
            CreateFormControl(control, Handle(), instance_);
    }
    // The frame stands behind the controls it holds, so it never paints over them. Its place
    // in the z-order does not matter for the tab order: it takes no focus.
    SetWindowPos(Control(ControlId::Frame1), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND Win32MainWindow::Control(ControlId id) const {
    return controls_.at(static_cast<std::size_t>(id));
}

void Win32MainWindow::ProcessPendingEvents() {
    PumpPendingMessages([this] { return Handle(); });
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

}  // namespace foliomix::win32
