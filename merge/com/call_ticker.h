// COM's modal loop consults the apartment's message filter only when a message arrives for the
// waiting thread (a posted or sent one: Wine's loop does not even wake for a timer). While an
// engine call is pending, a timer of the thread pool posts the calling thread a message of its
// own at a steady pace, so that the filter can cancel a call that is past its limit, or that
// nobody waits for any more, also when nothing else happens.
#pragma once

#include <windows.h>

namespace foliomix::com {

// The pace of the messages while a call is pending.
inline constexpr DWORD kCallTickMs = 100;
// The message: posted to the thread, to no window, so no window procedure ever receives it.
// Whoever finds it in the queue may drop it.
inline constexpr UINT kCallTickMessage = WM_APP + 0x2F1;

// Posts kCallTickMessage to the thread that made it, every kCallTickMs, until it is destroyed.
class CallTicker {
  public:
    CallTicker();
    ~CallTicker();
    CallTicker(const CallTicker&) = delete;
    CallTicker& operator=(const CallTicker&) = delete;

  private:
    // Null when the system could not make the timer: the call goes on, only without the
    // filter's limits (failing the merge for that would help nobody).
    HANDLE timer_ = nullptr;
};

}  // namespace foliomix::com
