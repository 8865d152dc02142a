#include "app/win32/window_call_waiter.h"

namespace foliomix::win32 {

void WindowCallWaiter::ProcessEvents() {
    if (window_.IsOpen()) {
        window_.ProcessPendingEvents();
    }
    if (!window_.IsOpen()) {
        deadline_.Arm();
    }
}

}  // namespace foliomix::win32
