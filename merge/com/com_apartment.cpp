#include "merge/com/com_presentation_server.h"
#include "merge/com/late_bound.h"
#include "merge/com/message_filter.h"

namespace foliomix::com {

struct ComApartment::State {
    ComPtr<IMessageFilter> filter;
    ComPtr<IMessageFilter> previous;
};

ComApartment::ComApartment() : state_(std::make_unique<State>()) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr)) {
        ThrowServerError(L"CoInitializeEx", hr);
    }
    state_->filter = MakeRetryingMessageFilter();
    if (FAILED(CoRegisterMessageFilter(state_->filter.Get(),
                                       state_->previous.ReleaseAndGetAddressOf()))) {
        // Without the filter a busy engine fails calls instead of delaying them; the apartment
        // itself still works.
        state_->filter.Reset();
    }
}

ComApartment::~ComApartment() {
    if (state_->filter) {
        ComPtr<IMessageFilter> ours;
        CoRegisterMessageFilter(state_->previous.Get(), ours.ReleaseAndGetAddressOf());
    }
    state_->previous.Reset();
    state_->filter.Reset();
    CoUninitialize();
}

}  // namespace foliomix::com
