// Waiting in a test for what must happen soon: a condition polled until it holds or the
// patience is over, never a fixed sleep that is too short on a loaded machine.
#pragma once

#include <chrono>
#include <thread>

namespace foliomix::testing {

// Passes the time between two polls by sleeping.
struct SleepBetweenPolls {
    void operator()(std::chrono::milliseconds pause) const { std::this_thread::sleep_for(pause); }
};

// Polls `condition` until it gives a true value or `patience` is over, and returns its last
// value: false (or a null handle) when it never held. Between polls `wait` passes `pause`; a
// test with events to process meanwhile passes a wait that processes them.
template <typename Condition, typename Wait = SleepBetweenPolls>
[[nodiscard]] auto Eventually(Condition condition, std::chrono::milliseconds patience,
                              std::chrono::milliseconds pause = std::chrono::milliseconds(25),
                              Wait wait = {}) {
    const auto end = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (auto result = condition()) {
            return result;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return decltype(condition()){};
        }
        wait(pause);
    }
}

}  // namespace foliomix::testing
