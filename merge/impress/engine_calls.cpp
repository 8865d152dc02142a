#include "merge/impress/engine_calls.h"

#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace {

// How often a pending call is looked at: the window's events are processed all the time, and
// the call's end wakes the waiter at once, so this only paces the stuck-call checks.
constexpr auto kLookInterval = std::chrono::milliseconds(100);

}  // namespace

EngineCalls::EngineCalls(const EngineLimits& limits, KillSwitch& killSwitch)
    : limits_(limits),
      killSwitch_(killSwitch),
      thread_([this](const std::stop_token& stop) { Serve(stop); }) {}

EngineCalls::~EngineCalls() {
    thread_.request_stop();
    posted_.notify_all();
}

void EngineCalls::SetWaiter(CallWaiter* waiter) { waiter_ = waiter; }

void EngineCalls::Serve(const std::stop_token& stop) {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            if (!posted_.wait(lock, stop, [this] { return !tasks_.empty(); })) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

void EngineCalls::Post(std::function<void()> task) {
    {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

void EngineCalls::RunOnEngineThread(const std::function<void()>& task, Waiting waiting) {
    const std::uint64_t tripsBefore = killSwitch_.Trips();
    CallWaiter* const waiter = waiter_;
    CallWaiter* const events = waiting == Waiting::kWithEvents ? waiter : nullptr;
    bool done = false;
    // Once `done` is set the asking thread may return and this frame, and the waiter with it,
    // be gone: the waiter is woken under the same lock, before the asking thread can see `done`.
    Post([this, &task, &done, events] {
        task();
        {
            const std::lock_guard lock(mutex_);
            done = true;
            if (events != nullptr) {
                events->Wake();
            }
        }
        finished_.notify_all();
    });
    const auto isDone = [&] {
        const std::lock_guard lock(mutex_);
        return done;
    };
    StuckCallWatch watch(limits_, std::chrono::steady_clock::now());
    bool ended = false;
    while (!isDone()) {
        if (events != nullptr && !ended) {
            events->WaitAtMost(kLookInterval);
        } else {
            std::unique_lock lock(mutex_);
            finished_.wait_for(lock, kLookInterval, [&] { return done; });
        }
        if (ended || isDone()) {
            continue;
        }
        if (waiter != nullptr && waiter->StopRequested()) {
            killSwitch_.Trip("the window was closed during an engine call");
            ended = true;
        } else if (const auto stuck = watch.Look(std::chrono::steady_clock::now(),
                                                 ProcessCpuTime(killSwitch_.Engine()))) {
            killSwitch_.Trip(*stuck);
            ended = true;
        }
    }
    if (killSwitch_.Trips() != tripsBefore) {
        throw ServerError("the engine was ended: " + killSwitch_.Reason(),
                          FailureKind::EngineStopped);
    }
}

void EngineCalls::RunToEnd(const std::function<void()>& work) noexcept {
    try {
        RunOnEngineThread(
            [&work] {
                try {
                    work();
                } catch (...) {  // the last steps of an ended engine may fail: nothing is left
                }
            },
            Waiting::kBlocking);
    } catch (...) {  // ended meanwhile: what it was to do is done by the engine's end
    }
}

}  // namespace foliomix::impress
