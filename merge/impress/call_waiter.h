// How the thread that asked for an engine call spends the time until the call returns. Every
// call runs on the adapter's engine thread; meanwhile the asking thread waits through this
// hook. A window's edition lets its window repaint and take a close while it waits, as a COM
// call that waits lets a Windows window do; without a hook the thread simply blocks.
#pragma once

#include <chrono>

namespace foliomix::impress {

class CallWaiter {
  public:
    virtual ~CallWaiter() = default;
    // Waits up to `slice`, and less once Wake is called: the window's events are processed
    // meanwhile. Called repeatedly, on the asking thread, until the call returns.
    virtual void WaitAtMost(std::chrono::milliseconds slice) = 0;
    // The call returned. Called on the engine thread: ends the current wait early.
    virtual void Wake() = 0;
    // True once the user has asked to stop (closed the window): the engine is ended at once
    // and the call fails.
    [[nodiscard]] virtual bool StopRequested() const = 0;
};

}  // namespace foliomix::impress
