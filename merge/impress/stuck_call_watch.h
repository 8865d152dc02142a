// When an engine call counts as stuck. The engine has no limit of its own on how long a call
// may take: a stopped engine, or an import filter that loops on a bad deck, never answers.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

namespace foliomix::impress {

struct EngineLimits {
    // A call is stuck when the engine has used no processor time for this long while it was
    // pending: a working engine computes, a stopped or deadlocked one does not.
    std::chrono::milliseconds idle{std::chrono::seconds(30)};
    // A call is stuck when it takes this long, whatever the engine does. The benchmark's
    // largest case needs about 25 s for its longest call (a 1,000-slide deck inserted); this
    // leaves a margin of more than twenty times that.
    std::chrono::milliseconds call{std::chrono::minutes(10)};
};

// The processor time (user and system, all threads) that process `pid` has used, or nothing
// when it cannot be read (the process is gone).
[[nodiscard]] std::optional<std::chrono::nanoseconds> ProcessCpuTime(pid_t pid);

// Watches one pending call, fed with the time and the engine's processor time at each look.
class StuckCallWatch {
  public:
    StuckCallWatch(const EngineLimits& limits, std::chrono::steady_clock::time_point started);

    // Why the call counts as stuck at `now`, or nothing while it does not. Processor time that
    // cannot be read is no sign of life.
    [[nodiscard]] std::optional<std::string> Look(std::chrono::steady_clock::time_point now,
                                                  std::optional<std::chrono::nanoseconds> cpu);

  private:
    EngineLimits limits_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastProgress_;
    std::optional<std::chrono::nanoseconds> lastCpu_;
};

}  // namespace foliomix::impress
