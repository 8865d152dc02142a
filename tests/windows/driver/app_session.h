// One run of foliomix.exe, worked through Win32 messages the way a user works the window:
// button clicks are posted (a modal dialog they open must not block the driver), rows are
// selected with the list box's own notification, the window is closed with WM_CLOSE.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "app/form_design.h"
#include "tests/support/eventually.h"
#include "tests/windows/driver/check.h"

namespace foliomix::driver {

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;
using std::chrono::milliseconds;

// How long the driver waits for something the program is expected to do.
inline constexpr milliseconds kPatience{20000};

class AppSession {
  public:
    // Starts foliomix.exe from the driver's own folder, in `workingFolder`, with these
    // variables added to the environment, and waits until Form1 is shown.
    AppSession(const std::wstring& workingFolder, const Environment& environment);
    // A program still running at the end of a case is ended: the case has failed already.
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    [[nodiscard]] HWND Form() const { return form_; }
    [[nodiscard]] HANDLE Process() const { return process_.hProcess; }
    [[nodiscard]] DWORD ProcessId() const { return process_.dwProcessId; }
    [[nodiscard]] HWND Control(design::ControlId id) const;

    // A click as the user makes it: the button's own BM_CLICK, posted.
    void Click(design::ControlId button) const;
    // A click whose handler opens nothing, returning once it has run: a posted click can still
    // be waiting when a row selected after it (a sent message, handled first) changes what it
    // acts on.
    void ClickAndWait(design::ControlId button) const;
    // Clicks a greyed button and waits until the window has handled the click: true when the
    // click opened nothing (a handler that ran would be showing its modal dialog and keep the
    // window from answering).
    [[nodiscard]] bool ClickIsIgnored(design::ControlId button) const;
    void SelectRow(int row) const;
    [[nodiscard]] std::vector<std::wstring> Rows() const;
    [[nodiscard]] int SelectedRow() const;
    [[nodiscard]] bool Enabled(design::ControlId id) const;
    [[nodiscard]] std::wstring StatusText() const;
    [[nodiscard]] std::wstring Caption() const;
    // The control that has the keyboard focus in the program, null for none.
    [[nodiscard]] HWND Focus() const;
    // Tab or Shift+Tab typed on the keyboard while Form1 is active.
    void PressTab(bool shift) const;
    void Close() const;
    // Returns once the program's window thread has handled everything sent or posted before
    // the call and is waiting for input again (a running handler delays it until its end or
    // its next modal loop).
    void Settle() const;

    // Waits until the program has ended; returns its exit code. Throws when it does not end.
    DWORD WaitForExit(milliseconds patience = kPatience);
    [[nodiscard]] bool Running() const;
    // Whether `window` is still a window (false once Form1 has been destroyed).
    [[nodiscard]] static bool Exists(HWND window) { return IsWindow(window) != FALSE; }

  private:
    PROCESS_INFORMATION process_{};
    HWND form_ = nullptr;
};

using testing::Eventually;

// Polls `condition` until it holds and returns what it gave; throws a DriverError naming `what`
// when it never does.
template <typename Condition>
auto WaitFor(const char* what, Condition condition, milliseconds patience = kPatience) {
    if (auto result = Eventually(condition, patience)) {
        return result;
    }
    throw DriverError(std::string("timed out waiting for ") + what);
}

// The folder that holds driver.exe (and foliomix.exe beside it).
[[nodiscard]] std::wstring ProgramFolder();

}  // namespace foliomix::driver
