// The exception a failed Win32 call becomes: its text names what failed and the error code,
// and the code stays readable as the exception's own.
#include "app/win32/win32_error.h"

#include <gtest/gtest.h>

#include <string>
#include <system_error>

namespace foliomix::win32 {
namespace {

struct TextCase {
    DWORD code;
    const char* text;
};

TEST(Win32Error, TheTextNamesWhatFailedAndTheCodeInFull) {
    for (const TextCase& c : {
             TextCase{ERROR_CANNOT_FIND_WND_CLASS,
                      "cannot create the main window (Windows error 1407)"},
             TextCase{0, "cannot create the main window (Windows error 0)"},
             // The largest code is no negative number.
             TextCase{0xFFFFFFFF, "cannot create the main window (Windows error 4294967295)"},
         }) {
        EXPECT_EQ(Win32ErrorText("cannot create the main window", c.code), c.text);
    }
}

TEST(Win32Error, TheExceptionCarriesTheCodeInTheSystemCategoryAndTheText) {
    try {
        ThrowWin32Error("cannot register the window class", ERROR_NOT_ENOUGH_MEMORY);
        ADD_FAILURE() << "nothing thrown";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(e.code().category(), std::system_category());
        EXPECT_EQ(
            std::string(e.what()).rfind("cannot register the window class (Windows error 8)", 0),
            0U)
            << e.what();
    }
}

TEST(Win32Error, TheLastErrorIsTheOneOfTheCallThatFailed) {
    // A real failed call: no window class of this name exists (Windows says 1407, Wine 1411).
    HWND window = CreateWindowExW(0, L"Foliomix.NoSuchClass", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_EQ(window, nullptr);
    const DWORD failure = GetLastError();
    ASSERT_NE(failure, 0U);
    try {
        ThrowLastWin32Error("cannot create the main window");
        ADD_FAILURE() << "nothing thrown";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), static_cast<int>(failure));
        EXPECT_NE(
            std::string(e.what()).find(Win32ErrorText("cannot create the main window", failure)),
            std::string::npos)
            << e.what();
    }
}

}  // namespace
}  // namespace foliomix::win32
