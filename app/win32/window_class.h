// Form1's window class and frame, and the Win32 class of each kind of control of the design:
// what creating the window and its controls needs, apart from the window object itself.
#pragma once

#include <windows.h>

#include "app/form_design.h"

namespace foliomix::win32 {

// The window class name, by which a driver program can find Form1.
inline constexpr wchar_t kForm1ClassName[] = L"Foliomix.Form1";

// A fixed border with a caption, the system menu and its close box; no sizing border, no
// minimize or maximize box.
// The frame paints only its border and caption: the window erases the frame's inside, so it
// does not clip its children.
inline constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
inline constexpr DWORD kFormExStyle = 0;

// The control identifier of each control of the design; none is IDOK or IDCANCEL, which the
// dialog manager sends for Enter and Esc.
[[nodiscard]] constexpr int ControlIdentifier(design::ControlId id) {
    return 1000 + static_cast<int>(id);
}

// Registers Form1's class with `windowProc`; a class registered before is used as it is.
// Throws std::system_error (win32_error.h) when the class cannot be registered.
void RegisterFormClass(HINSTANCE instance, WNDPROC windowProc);

// The outer size of Form1's frame around its designed client area at the density.
[[nodiscard]] SIZE FormSize(UINT dpi);

// Creates a control of the design on `form`, with its identifier, text and initial state, and no
// size yet (the layout places it). Throws std::system_error when it cannot be created.
[[nodiscard]] HWND CreateFormControl(const design::ControlDesign& control, HWND form,
                                     HINSTANCE instance);

}  // namespace foliomix::win32
