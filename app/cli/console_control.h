// Windows: what the console's control handler does with each event. Ctrl-C, Ctrl-Break and the
// console's close request a stop, which the merge turns into an orderly end: the pending engine
// call cancelled, our presentations closed, the engine quit only when nothing of the user's is
// in it, no output. For Ctrl-C and Ctrl-Break that is all; the program ends on its own. A close
// ends the process as soon as its handler returns (or after five seconds): the handler returns
// once the merge has finished, or just before that time is up.
//
// Logoff and shutdown never reach a program that loads user32.dll, as this one does (COM loads
// it): the system's default applies to them.
#pragma once

#include <windows.h>

#include <atomic>

#include "app/cli/stop_request.h"

namespace foliomix::cli {

// How long a close waits for the merge to finish: within the system's five seconds.
inline constexpr DWORD kCloseWaitMs = 4500;

// The handler's work for `event`, on the thread the system runs the handler on. True when the
// event is handled here; false leaves it to the next handler (the system's default in the end).
// `finished` is set once the merge no longer needs the process.
[[nodiscard]] bool HandleConsoleControl(DWORD event, StopRequest& stop,
                                        const std::atomic<bool>& finished,
                                        DWORD closeWaitMs = kCloseWaitMs);

}  // namespace foliomix::cli
