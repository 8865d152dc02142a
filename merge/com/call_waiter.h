// What the program does while one of its engine calls is pending, as the apartment's message
// filter asks it: its window handles its messages (the user's close among them), and it says
// whether anybody still waits for the call's answer. The adapter knows the window only through
// this hook.
#pragma once

namespace foliomix::com {

class CallWaiter {
  public:
    virtual ~CallWaiter() = default;
    // Called on the calling thread each time COM's modal loop wakes while a call is pending.
    virtual void ProcessEvents() = 0;
    // True once the user has asked to stop (closed the window): the pending call is cancelled.
    [[nodiscard]] virtual bool StopRequested() const = 0;
};

}  // namespace foliomix::com
