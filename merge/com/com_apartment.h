// The calling thread's single-threaded apartment and its message filter (message_filter.h).
// Lives as long as the thread uses the engine: the program creates one on its UI thread before
// any engine object and destroys it after the last.
#pragma once

#include <memory>

#include "merge/com/call_waiter.h"
#include "merge/com/message_filter.h"

namespace foliomix::com {

class ComApartment {
  public:
    // `callLimitMs`: how long one engine call may be pending before it is cancelled (tests
    // shorten it).
    explicit ComApartment(DWORD callLimitMs = kCallLimitMs);
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // While it lives, the apartment's pending engine calls consult one CallWaiter.
    class WaiterScope {
      public:
        WaiterScope(Microsoft::WRL::ComPtr<EngineCallFilter> filter, CallWaiter& waiter);
        ~WaiterScope();
        WaiterScope(const WaiterScope&) = delete;
        WaiterScope& operator=(const WaiterScope&) = delete;

      private:
        Microsoft::WRL::ComPtr<EngineCallFilter> filter_;
    };
    // `waiter` must outlive the returned scope; destroy the scope before the window it asks.
    [[nodiscard]] WaiterScope Consult(CallWaiter& waiter);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace foliomix::com
