// The apartment's message filter, the one place where the program decides about its pending
// engine calls:
// - While the engine is busy it rejects incoming calls with SERVERCALL_RETRYLATER; the filter has
//   COM retry such a call for a bounded time instead of failing it at once. A call rejected
//   outright is cancelled, and so is every rejected call once the user has closed the window.
// - While a call is pending, COM's modal loop asks the filter what to do each time a message
//   arrives (a CallTicker makes sure one does at least every kCallTickMs). The program's
//   CallWaiter lets the window handle its messages, and the call is cancelled, so that it fails
//   with RPC_E_CALL_CANCELED, once it is past the call limit or once the user has closed the
//   window. The engine itself is never ended for it: it may be the user's own.
#pragma once

#include <objidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>

#include "merge/com/call_waiter.h"

namespace foliomix::com {

// How long a busy engine is waited for, and the pause between two tries.
inline constexpr DWORD kRetryBusyForMs = 60'000;
inline constexpr DWORD kRetryPauseMs = 250;
// RetryRejectedCall's answer that cancels the call.
inline constexpr DWORD kCancelCall = 0xFFFFFFFF;

// The longest a single engine call may be pending, the same hard limit as the Linux edition's:
// the benchmark's largest case needs about 25 s for its longest call (a deck of 1,000 slides
// inserted), so only an engine that has stopped working reaches it.
inline constexpr DWORD kCallLimitMs = 10 * 60 * 1000;
// Once the window is closed, the call pending then is cancelled at once. Each call of the
// shutdown that follows may take this long: an engine that answers still gets its
// presentations closed and its alerts back, one that does not holds the program up only a
// moment.
inline constexpr DWORD kCallAfterCloseMs = 250;

// The caller of a pending call, as its CallWaiter tells it.
enum class Caller : std::uint8_t {
    Waiting,      // the window is open: the caller wants the answer
    JustStopped,  // the first look since the window was closed: this call is the one it ends
    Stopped,      // the window was closed before: this call belongs to the shutdown
};

// Whether a call pending for `elapsedMs` is to be cancelled.
[[nodiscard]] bool CancelPendingCall(DWORD elapsedMs, Caller caller, DWORD callLimitMs);

// IMessageFilter::RetryRejectedCall's decision: the pause in milliseconds before COM tries the
// call again (100 or more), or kCancelCall.
[[nodiscard]] DWORD RetryRejectedCallAnswer(DWORD rejectType, DWORD elapsedMs,
                                            bool stopRequested = false);

// Owned by its COM reference count: made by MakeEngineCallFilter, ended by its last Release.
class EngineCallFilter final : public IMessageFilter {
  public:
    explicit EngineCallFilter(DWORD callLimitMs);

    // The program's hook while calls are pending; null for none (then the filter cancels a call
    // at the limit only, and leaves the messages to COM's default processing).
    void SetWaiter(CallWaiter* waiter);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO info) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD elapsedMs,
                                              DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD elapsedMs,
                                           DWORD pendingType) override;

  private:
    [[nodiscard]] bool StopRequested() const;

    std::atomic<ULONG> references_{1};
    DWORD callLimitMs_;
    CallWaiter* waiter_ = nullptr;
    bool stopSeen_ = false;
};

[[nodiscard]] Microsoft::WRL::ComPtr<EngineCallFilter> MakeEngineCallFilter(
    DWORD callLimitMs = kCallLimitMs);

}  // namespace foliomix::com
