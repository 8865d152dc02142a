#include "merge/com/message_filter.h"

#include <atomic>
#include <memory>

namespace foliomix::com {
namespace {

class RetryingMessageFilter final : public IMessageFilter {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
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
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;  // the COM reference count owns the object
        }
        return left;
    }

    // Calls into this apartment: the program serves none, but must not block any.
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
        return RetryRejectedCallAnswer(rejectType, elapsedMs);
    }
    // While waiting for the engine, let the window repaint as the default processing does.
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }

  private:
    std::atomic<ULONG> references_{1};
};

}  // namespace

DWORD RetryRejectedCallAnswer(DWORD rejectType, DWORD elapsedMs) {
    if (rejectType == SERVERCALL_RETRYLATER && elapsedMs < kRetryBusyForMs) {
        return kRetryPauseMs;
    }
    return kCancelCall;
}

Microsoft::WRL::ComPtr<IMessageFilter> MakeRetryingMessageFilter() {
    Microsoft::WRL::ComPtr<IMessageFilter> filter;
    filter.Attach(std::make_unique<RetryingMessageFilter>().release());
    return filter;
}

}  // namespace foliomix::com
