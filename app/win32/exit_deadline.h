// A close ends the program within a bound, whatever the engine does. The message filter
// cancels the engine call the close interrupts, and the shutdown calls after it are short; but
// a COM runtime may go on waiting for a cancelled call (Wine's does until the engine answers),
// starting the engine cannot be cancelled at all, and neither can releasing what the engine
// handed out. Once armed, the deadline ends the process when it is still running at its end.
// The engine is never ended for it: the user may be working in it.
#pragma once

#include <windows.h>

namespace foliomix::win32 {

// How long after the window's close the program may still run: the close is noticed within a
// tick of the filter, and the program is gone well within two seconds of it.
inline constexpr DWORD kExitAfterCloseMs = 1200;

class ExitDeadline {
  public:
    explicit ExitDeadline(DWORD afterMs = kExitAfterCloseMs);
    // Disarms: the program got there in time.
    ~ExitDeadline();
    ExitDeadline(const ExitDeadline&) = delete;
    ExitDeadline& operator=(const ExitDeadline&) = delete;

    // Starts the countdown; later calls change nothing. Exit code 0: closing the window is the
    // program's normal end.
    void Arm();

  private:
    DWORD afterMs_;
    HANDLE timer_ = nullptr;
};

}  // namespace foliomix::win32
