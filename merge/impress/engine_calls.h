// The adapter's engine thread: every engine call runs there, one at a time, while the asking
// thread waits through the call waiter (the window stays alive) and watches the call. A call
// that is stuck, or during which the user closes the window, is ended by killing the engine:
// it then fails with ServerError saying why.
//
// The engine process is started on this thread too. Its parent-death signal, which ends the
// engine should we be killed, fires when the thread that started it ends; this thread lives as
// long as the adapter.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

#include "merge/impress/call_waiter.h"
#include "merge/impress/kill_switch.h"
#include "merge/impress/stuck_call_watch.h"

namespace foliomix::impress {

class EngineCalls {
  public:
    EngineCalls(const EngineLimits& limits, KillSwitch& killSwitch);
    // Finishes the call in progress, if any, and ends the thread.
    ~EngineCalls();
    EngineCalls(const EngineCalls&) = delete;
    EngineCalls& operator=(const EngineCalls&) = delete;

    // The waiter of the calls from now on; null: block. It must outlive every call.
    void SetWaiter(CallWaiter* waiter);

    // Runs `work` on the engine thread and returns what it returns or throws what it throws;
    // throws ServerError if the engine was ended during the call.
    template <typename Work>
    auto Run(Work&& work) -> std::invoke_result_t<Work&> {
        std::packaged_task<std::invoke_result_t<Work&>()> task(std::forward<Work>(work));
        auto result = task.get_future();
        RunOnEngineThread([&task] { task(); }, Waiting::kWithEvents);
        return result.get();
    }

    // As Run, for the last steps of a document or an engine, from destructors: never throws,
    // and lets no window event in (the window may be half destroyed). Still watched: a stuck
    // engine is ended.
    void RunToEnd(const std::function<void()>& work) noexcept;

  private:
    enum class Waiting { kWithEvents, kBlocking };
    // Posts `task` and waits until it has run; the task itself never throws. Throws
    // ServerError if the engine was ended meanwhile.
    void RunOnEngineThread(const std::function<void()>& task, Waiting waiting);
    void Post(std::function<void()> task);
    void Serve(const std::stop_token& stop);

    EngineLimits limits_;
    KillSwitch& killSwitch_;
    CallWaiter* waiter_ = nullptr;
    std::mutex mutex_;
    std::condition_variable_any posted_;
    std::condition_variable finished_;
    std::deque<std::function<void()>> tasks_;
    std::jthread thread_;
};

}  // namespace foliomix::impress
