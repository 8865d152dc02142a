// Ends the engine at once, from any thread: the user closed the window during an engine call,
// or the call is stuck. Tripping it kills the engine process it is armed with, and a start in
// progress gives up. The engine is reached through a process descriptor, which names exactly
// that process even once it has been reaped, so the switch needs no lock shared with the
// thread that reaps it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <mutex>
#include <string>

namespace foliomix::impress {

class KillSwitch {
  public:
    KillSwitch() = default;
    ~KillSwitch();
    KillSwitch(const KillSwitch&) = delete;
    KillSwitch& operator=(const KillSwitch&) = delete;

    // The engine process to kill from now on (replacing any earlier one); 0: none.
    void Arm(pid_t engine);
    // Kills the armed engine, if any, and remembers why. Later trips keep the first reason.
    void Trip(const std::string& reason) noexcept;
    // How many times it was tripped since the last Reset: a call compares the count before
    // and after to tell whether it was ended.
    [[nodiscard]] std::uint64_t Trips() const;
    [[nodiscard]] std::string Reason() const;
    // Ready for a new engine.
    void Reset();
    // The armed engine's process id, 0 when none.
    [[nodiscard]] pid_t Engine() const;

  private:
    mutable std::mutex mutex_;
    int descriptor_ = -1;
    pid_t engine_ = 0;
    std::uint64_t trips_ = 0;
    std::string reason_;
};

}  // namespace foliomix::impress
