#include "merge/com/message_filter.h"

#include <memory>

#include "merge/com/call_ticker.h"

namespace foliomix::com {

// The filter looks at a pending call at least once per tick: a call of the shutdown is looked at
// before its time is up.
static_assert(kCallTickMs < kCallAfterCloseMs);

namespace {

// The ticks only wake the modal loop; nothing else is to be done with them.
void DropTicks() {
    MSG msg;
    while (PeekMessageW(&msg, reinterpret_cast<HWND>(-1), kCallTickMessage, kCallTickMessage,
                        PM_REMOVE)) {
    }
}

}  // namespace

bool CancelPendingCall(DWORD elapsedMs, Caller caller, DWORD callLimitMs) {
    switch (caller) {
        case Caller::Waiting:
            return elapsedMs >= callLimitMs;
        case Caller::JustStopped:
            return true;
        case Caller::Stopped:
            return elapsedMs >= kCallAfterCloseMs || elapsedMs >= callLimitMs;
    }
    return true;
}

DWORD RetryRejectedCallAnswer(DWORD rejectType, DWORD elapsedMs, bool stopRequested) {
    if (!stopRequested && rejectType == SERVERCALL_RETRYLATER && elapsedMs < kRetryBusyForMs) {
        return kRetryPauseMs;
    }
    return kCancelCall;
}

EngineCallFilter::EngineCallFilter(DWORD callLimitMs) : callLimitMs_(callLimitMs) {}

void EngineCallFilter::SetWaiter(CallWaiter* waiter) {
    waiter_ = waiter;
    stopSeen_ = false;
}

HRESULT EngineCallFilter::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
        *object = static_cast<IMessageFilter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG EngineCallFilter::AddRef() { return ++references_; }

ULONG EngineCallFilter::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

// Calls into this apartment: the program serves none, but must not block any.
DWORD EngineCallFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
    return SERVERCALL_ISHANDLED;
}

DWORD EngineCallFilter::RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) {
    return RetryRejectedCallAnswer(rejectType, elapsedMs, StopRequested());
}

DWORD EngineCallFilter::MessagePending(HTASK, DWORD elapsedMs, DWORD) {
    DropTicks();
    if (waiter_ == nullptr) {
        // The messages are left to COM: it lets the window repaint.
        return CancelPendingCall(elapsedMs, Caller::Waiting, callLimitMs_)
                   ? PENDINGMSG_CANCELCALL
                   : PENDINGMSG_WAITDEFPROCESS;
    }
    bool stop = true;  // a waiter that fails cannot be waited for
    try {
        // COM's own processing would not dispatch input during the call: the window's close box
        // would do nothing. The waiter lets the window handle everything instead.
        waiter_->ProcessEvents();
        stop = waiter_->StopRequested();
    } catch (...) {  // nothing may unwind into COM's modal loop
    }
    Caller caller = Caller::Waiting;
    if (stop) {
        caller = stopSeen_ ? Caller::Stopped : Caller::JustStopped;
        stopSeen_ = true;
    }
    return CancelPendingCall(elapsedMs, caller, callLimitMs_) ? PENDINGMSG_CANCELCALL
                                                              : PENDINGMSG_WAITNOPROCESS;
}

bool EngineCallFilter::StopRequested() const {
    try {
        return waiter_ != nullptr && waiter_->StopRequested();
    } catch (...) {
        return true;
    }
}

Microsoft::WRL::ComPtr<EngineCallFilter> MakeEngineCallFilter(DWORD callLimitMs) {
    Microsoft::WRL::ComPtr<EngineCallFilter> filter;
    filter.Attach(std::make_unique<EngineCallFilter>(callLimitMs).release());
    return filter;
}

}  // namespace foliomix::com
