#include "merge/com/call_ticker.h"

#include <cstdint>

namespace foliomix::com {
namespace {

void CALLBACK Tick(PVOID thread, BOOLEAN /*timerFired*/) {
    PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(thread)),
                       kCallTickMessage, 0, 0);
}

}  // namespace

CallTicker::CallTicker() {
    const auto thread = static_cast<std::uintptr_t>(GetCurrentThreadId());
    if (!CreateTimerQueueTimer(&timer_, nullptr, &Tick, reinterpret_cast<PVOID>(thread),
                               kCallTickMs, kCallTickMs, WT_EXECUTEDEFAULT)) {
        timer_ = nullptr;
    }
}

CallTicker::~CallTicker() {
    if (timer_ != nullptr) {
        // Waits for a tick that is being posted: none comes after the call has returned.
        DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
    }
}

}  // namespace foliomix::com
