// A request to stop the program, made asynchronously (by a signal handler on Linux, by the
// console's control handler on Windows) and read by the merge between and during engine calls.
// Setting it is all a handler does: a lock-free atomic store is safe in a signal handler.
#pragma once

#include <atomic>

namespace foliomix::cli {

class StopRequest {
  public:
    // Safe in a signal handler and from any thread.
    void Request() noexcept { requested_.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool Requested() const noexcept {
        return requested_.load(std::memory_order_relaxed);
    }

  private:
    static_assert(std::atomic<bool>::is_always_lock_free);
    std::atomic<bool> requested_{false};
};

// The one the program's signal handlers set.
[[nodiscard]] StopRequest& ProgramStopRequest() noexcept;

}  // namespace foliomix::cli
