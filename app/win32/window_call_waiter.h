// Form1 as the hook of the engine's message filter: while an engine call is pending, the window
// handles its messages (repaint, and the user's close), and a closed window stops the call and
// arms the program's exit deadline.
#pragma once

#include "app/win32/exit_deadline.h"
#include "app/win32/main_window_win32.h"
#include "merge/com/call_waiter.h"

namespace foliomix::win32 {

class WindowCallWaiter final : public com::CallWaiter {
  public:
    WindowCallWaiter(Win32MainWindow& window, ExitDeadline& deadline)
        : window_(window), deadline_(deadline) {}

    void ProcessEvents() override;
    [[nodiscard]] bool StopRequested() const override { return !window_.IsOpen(); }

  private:
    Win32MainWindow& window_;
    ExitDeadline& deadline_;
};

}  // namespace foliomix::win32
