// Keeps the window alive while an engine call runs: the engine adapter runs each call on its
// own thread and waits here, in a local event loop, so that the window repaints and takes a
// close meanwhile, as a Windows window does while a COM call waits. The run has disabled every
// button but the list's, so no click handler can start; a close ends the call (the adapter
// kills the engine) and the run then sees the window gone.
#pragma once

#include <QEventLoop>
#include <chrono>
#include <mutex>

#include "app/main_window.h"
#include "merge/impress/call_waiter.h"

namespace foliomix::qt {

class QtCallWaiter final : public impress::CallWaiter {
  public:
    // `window` must outlive the waiter.
    explicit QtCallWaiter(const MainWindow& window) : window_(window) {}

    void WaitAtMost(std::chrono::milliseconds slice) override;
    void Wake() override;
    [[nodiscard]] bool StopRequested() const override { return !window_.IsOpen(); }

  private:
    const MainWindow& window_;
    std::mutex mutex_;
    QEventLoop* loop_ = nullptr;  // the wait in progress, on the window's thread
    bool woken_ = false;
};

}  // namespace foliomix::qt
