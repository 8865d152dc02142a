#include "merge/com/com_apartment.h"

#include "merge/com/late_bound.h"

namespace foliomix::com {
namespace {

// CoInitializeEx, undone by the destructor: whatever fails after it, the apartment is left.
class ApartmentInitialization {
  public:
    ApartmentInitialization() {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(hr)) {
            ThrowServerError(L"CoInitializeEx", hr);
        }
    }
    ~ApartmentInitialization() { CoUninitialize(); }
    ApartmentInitialization(const ApartmentInitialization&) = delete;
    ApartmentInitialization& operator=(const ApartmentInitialization&) = delete;
};

}  // namespace

// Members in the order they are set up; they are torn down in reverse, the apartment last.
struct ComApartment::State {
    explicit State(DWORD callLimitMs) {
        filter = MakeEngineCallFilter(callLimitMs);
        if (FAILED(CoRegisterMessageFilter(filter.Get(), previous.ReleaseAndGetAddressOf()))) {
            // Without the filter a busy engine fails calls instead of delaying them, and no call
            // is limited; the apartment itself still works.
            filter.Reset();
        }
    }
    ~State() {
        if (filter) {
            ComPtr<IMessageFilter> ours;
            CoRegisterMessageFilter(previous.Get(), ours.ReleaseAndGetAddressOf());
        }
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    ApartmentInitialization initialization;
    ComPtr<EngineCallFilter> filter;
    ComPtr<IMessageFilter> previous;
};

ComApartment::ComApartment(DWORD callLimitMs) : state_(std::make_unique<State>(callLimitMs)) {}

ComApartment::~ComApartment() = default;

ComApartment::WaiterScope ComApartment::Consult(CallWaiter& waiter) {
    return WaiterScope(state_->filter, waiter);
}

ComApartment::WaiterScope::WaiterScope(ComPtr<EngineCallFilter> filter, CallWaiter& waiter)
    : filter_(std::move(filter)) {
    if (filter_) {
        filter_->SetWaiter(&waiter);
    }
}

ComApartment::WaiterScope::~WaiterScope() {
    if (filter_) {
        filter_->SetWaiter(nullptr);
    }
}

}  // namespace foliomix::com
