#include "app/qt/qt_call_waiter.h"

#include <QTimer>
#include <utility>

namespace foliomix::qt {

void QtCallWaiter::WaitAtMost(std::chrono::milliseconds slice) {
    QEventLoop loop;
    {
        const std::lock_guard lock(mutex_);
        // The call may have ended between two waits.
        if (std::exchange(woken_, false)) {
            return;
        }
        loop_ = &loop;
    }
    QTimer::singleShot(slice, &loop, &QEventLoop::quit);
    loop.exec();
    const std::lock_guard lock(mutex_);
    loop_ = nullptr;
    woken_ = false;
}

void QtCallWaiter::Wake() {
    const std::lock_guard lock(mutex_);
    woken_ = true;
    if (loop_ != nullptr) {
        // Delivered on the window's thread; dropped by Qt should the loop be gone by then.
        QMetaObject::invokeMethod(loop_, &QEventLoop::quit, Qt::QueuedConnection);
    }
}

}  // namespace foliomix::qt
