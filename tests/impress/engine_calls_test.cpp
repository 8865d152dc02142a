// The engine thread and the watch over its calls, without an engine: a child process of ours
// stands in for it, so that a stopped or a closed-on call can be staged exactly.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "merge/impress/child_process.h"
#include "merge/impress/engine_calls.h"
#include "merge/impress/kill_switch.h"
#include "merge/impress/stuck_call_watch.h"
#include "merge/presentation_server.h"

namespace foliomix::testing {
namespace {

using impress::ChildProcess;
using impress::EngineCalls;
using impress::EngineLimits;
using impress::KillSwitch;
using impress::StuckCallWatch;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// --- When a call counts as stuck ---------------------------------------------------------------

struct WatchCase {
    const char* name;
    // The engine's processor time at each look, one look a second; -1: unreadable.
    std::vector<int> cpuSeconds;
    // The look (0-based) at which the call first counts as stuck; -1: never.
    int stuckAt;
    const char* reason;
};

class StuckCallWatchTest : public ::testing::TestWithParam<WatchCase> {};

TEST_P(StuckCallWatchTest, CountsIdlenessFromTheLastProgressAndTheCallFromItsStart) {
    const EngineLimits limits{.idle = 3s, .call = 6s};
    const auto start = Clock::time_point{} + 100s;
    StuckCallWatch watch(limits, start);
    int stuckAt = -1;
    std::string reason;
    const auto& cpu = GetParam().cpuSeconds;
    for (std::size_t look = 0; look < cpu.size() && stuckAt < 0; ++look) {
        const auto now = start + std::chrono::seconds(look + 1);
        const auto verdict = watch.Look(
            now, cpu[look] < 0
                     ? std::nullopt
                     : std::optional<std::chrono::nanoseconds>(std::chrono::seconds(cpu[look])));
        if (verdict) {
            stuckAt = static_cast<int>(look);
            reason = *verdict;
        }
    }
    EXPECT_EQ(stuckAt, GetParam().stuckAt);
    EXPECT_THAT(reason, ::testing::HasSubstr(GetParam().reason));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, StuckCallWatchTest,
    ::testing::Values(
        // Looks at 1 s, 2 s, ...: idle counts from the call's start until processor time moves.
        WatchCase{"busyUntilTheCallLimit", {1, 2, 3, 4, 5, 6, 7}, 5, "longer than its limit"},
        WatchCase{"neverMoves", {5, 5, 5, 5}, 2, "no processor time"},
        WatchCase{"unreadable", {-1, -1, -1, -1}, 2, "no processor time"},
        WatchCase{"movesThenStops", {1, 2, 2, 2, 2, 2}, 4, "no processor time"},
        WatchCase{"movesOnceInAWhile", {1, 1, 2, 2, 3}, -1, ""},
        WatchCase{"unreadableBetweenMoves", {1, -1, 2, -1, 3}, -1, ""}),
    [](const ::testing::TestParamInfo<WatchCase>& param) { return std::string(param.param.name); });

TEST(ProcessCpuTimeTest, GrowsWithWorkAndIsNothingForNoProcess) {
    const auto before = impress::ProcessCpuTime(::getpid());
    ASSERT_TRUE(before.has_value());
    // Spins until this thread has itself used 200 ms of processor time, however busy the
    // machine (within a minute): a spin for a wall time gets little of it on a loaded one.
    const auto ownTime = [] {
        timespec now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    };
    const auto spun = ownTime();
    const auto giveUp = Clock::now() + 60s;
    volatile unsigned long spin = 0;
    while (ownTime() - spun < 200ms && Clock::now() < giveUp) {
        spin = spin + 1;
    }
    ASSERT_GE(ownTime() - spun, 200ms);
    const auto after = impress::ProcessCpuTime(::getpid());
    ASSERT_TRUE(after.has_value());
    // The process's figure counts in clock ticks of 10 ms.
    EXPECT_GE(*after - *before, 180ms);
    EXPECT_FALSE(impress::ProcessCpuTime(0).has_value());
    EXPECT_FALSE(impress::ProcessCpuTime(-1).has_value());
    EXPECT_FALSE(impress::ProcessCpuTime(999'999'999).has_value());
}

// --- The engine thread --------------------------------------------------------------------------

// A waiter as a window's edition has one, counting its waits; it may report the window closed.
class CountingWaiter final : public impress::CallWaiter {
  public:
    void WaitAtMost(std::chrono::milliseconds slice) override {
        ++waits;
        std::this_thread::sleep_for(std::min(slice, std::chrono::milliseconds(10)));
    }
    void Wake() override {
        std::this_thread::sleep_for(wakeTakes.load());
        ++wakes;
    }
    [[nodiscard]] bool StopRequested() const override { return closed; }

    std::atomic<std::chrono::milliseconds> wakeTakes{std::chrono::milliseconds(0)};
    std::atomic<int> waits = 0;
    std::atomic<int> wakes = 0;
    std::atomic<bool> closed = false;
};

// A child of ours in place of the engine: it sleeps, so it uses no processor time.
ChildProcess SleepingEngine() { return ChildProcess("/bin/sleep", {"600"}, {}); }

// What the engine thread does while the engine answers nothing: wait until it is gone.
void WaitUntilGone(ChildProcess& engine) {
    while (engine.Running()) {
        std::this_thread::sleep_for(5ms);
    }
}

TEST(EngineCallsTest, RunsEveryCallOnItsOwnThreadAndPassesResultsAndFailuresBack) {
    KillSwitch killSwitch;
    EngineCalls calls(EngineLimits{}, killSwitch);
    const auto engineThread = calls.Run([] { return std::this_thread::get_id(); });
    EXPECT_NE(engineThread, std::this_thread::get_id());
    EXPECT_EQ(calls.Run([] { return std::this_thread::get_id(); }), engineThread);
    EXPECT_EQ(calls.Run([] { return std::string("answer"); }), "answer");
    EXPECT_THROW(calls.Run([]() -> int { throw ServerError("refused"); }), ServerError);
    EXPECT_THROW(calls.Run([] { throw std::logic_error("ours"); }), std::logic_error);
    EXPECT_EQ(killSwitch.Trips(), 0U);
}

TEST(EngineCallsTest, TheCallerWaitsThroughTheWaiterWhichIsWokenAtTheEnd) {
    KillSwitch killSwitch;
    EngineCalls calls(EngineLimits{}, killSwitch);
    CountingWaiter waiter;
    calls.SetWaiter(&waiter);
    calls.Run([] { std::this_thread::sleep_for(200ms); });
    EXPECT_GE(waiter.waits.load(), 5);
    EXPECT_EQ(waiter.wakes.load(), 1);
    // The caller may destroy its waiter as soon as a call has returned: the wake is over by then.
    waiter.wakeTakes = 100ms;
    calls.Run([] {});
    EXPECT_EQ(waiter.wakes.load(), 2);
    calls.SetWaiter(nullptr);
    const int waitsBefore = waiter.waits.load();
    calls.Run([] { std::this_thread::sleep_for(50ms); });
    EXPECT_EQ(waiter.waits.load(), waitsBefore);
}

struct EndedCallCase {
    const char* name;
    EngineLimits limits;
    bool closeTheWindow;
    const char* reason;
};

class EndedCallTest : public ::testing::TestWithParam<EndedCallCase> {};

TEST_P(EndedCallTest, TheEngineIsKilledAndTheCallFailsSayingWhy) {
    KillSwitch killSwitch;
    EngineCalls calls(GetParam().limits, killSwitch);
    CountingWaiter waiter;
    calls.SetWaiter(&waiter);
    ChildProcess engine = SleepingEngine();
    killSwitch.Arm(engine.Pid());
    if (GetParam().closeTheWindow) {
        std::thread([&waiter] {
            std::this_thread::sleep_for(200ms);
            waiter.closed = true;
        }).detach();
    }
    const auto started = Clock::now();
    try {
        calls.Run([&engine] { WaitUntilGone(engine); });
        ADD_FAILURE() << "the call did not fail";
    } catch (const ServerError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr(GetParam().reason));
    }
    EXPECT_LT(Clock::now() - started, 5s);
    EXPECT_FALSE(engine.Running());
    // The next call on a new engine is not taken for ended.
    killSwitch.Reset();
    waiter.closed = false;
    EXPECT_EQ(calls.Run([] { return 7; }), 7);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, EndedCallTest,
    ::testing::Values(
        EndedCallCase{"idle", {.idle = 300ms, .call = 10min}, false, "no processor time"},
        EndedCallCase{"tooLong", {.idle = 10min, .call = 300ms}, false, "longer than its limit"},
        EndedCallCase{"windowClosed", {.idle = 10min, .call = 10min}, true, "window was closed"}),
    [](const ::testing::TestParamInfo<EndedCallCase>& param) {
        return std::string(param.param.name);
    });

TEST(EngineCallsTest, AStoppedEngineIsEndedToo) {
    KillSwitch killSwitch;
    EngineCalls calls({.idle = 300ms, .call = 10min}, killSwitch);
    ChildProcess engine("/bin/sh", {"-c", "while :; do :; done"}, {});
    killSwitch.Arm(engine.Pid());
    // Busy: its processor time moves, so the call is not taken for stuck.
    EXPECT_NO_THROW(calls.Run([] { std::this_thread::sleep_for(800ms); }));
    ::kill(engine.Pid(), SIGSTOP);
    EXPECT_THROW(calls.Run([&engine] { WaitUntilGone(engine); }), ServerError);
    EXPECT_FALSE(engine.Running());
}

TEST(EngineCallsTest, LastStepsRunEvenAfterTheEngineWasEndedAndNeverThrow) {
    KillSwitch killSwitch;
    EngineCalls calls({.idle = 200ms, .call = 10min}, killSwitch);
    ChildProcess engine = SleepingEngine();
    killSwitch.Arm(engine.Pid());
    bool ran = false;
    calls.RunToEnd([&] {
        WaitUntilGone(engine);
        ran = true;
        throw ServerError("the bridge is gone");
    });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(engine.Running());
}

TEST(KillSwitchTest, AnEngineArmedAfterATripIsEndedAtOnce) {
    KillSwitch killSwitch;
    killSwitch.Trip("closed while the engine started");
    ChildProcess engine = SleepingEngine();
    killSwitch.Arm(engine.Pid());
    EXPECT_TRUE(engine.WaitForExit(5s));
    EXPECT_EQ(killSwitch.Reason(), "closed while the engine started");
    killSwitch.Trip("a second reason");
    EXPECT_EQ(killSwitch.Trips(), 2U);
    EXPECT_EQ(killSwitch.Reason(), "closed while the engine started");
}

}  // namespace
}  // namespace foliomix::testing
