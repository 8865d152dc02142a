// The one way a failed Win32 call becomes an exception: the text says what failed and carries
// the system's error code (GetLastError), so a failure reported from a user's machine says why.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace foliomix::win32 {

// "<what> (Windows error <code>)": the exception text of a failed call, without the system's
// message, which depends on the machine's language.
[[nodiscard]] std::string Win32ErrorText(std::string_view what, DWORD code);

// Throws std::system_error in the system category with `code`; its text begins with
// Win32ErrorText(what, code).
[[noreturn]] void ThrowWin32Error(std::string_view what, DWORD code);

// ThrowWin32Error with the calling thread's last error. Call it right after the failed call:
// any call between them may change that error.
[[noreturn]] inline void ThrowLastWin32Error(std::string_view what) {
    ThrowWin32Error(what, GetLastError());
}

}  // namespace foliomix::win32
