#include "merge/com/com_presentation_server.h"
#include "merge/com/late_bound.h"
#include "merge/com/message_filter.h"

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
    State() {
        filter = MakeRetryingMessageFilter();
        if (FAILED(CoRegisterMessageFilter(filter.Get(), previous.ReleaseAndGetAddressOf()))) {
            // Without the filter a busy engine fails calls instead of delaying them; the
            // apartment itself still works.
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
    ComPtr<IMessageFilter> filter;
    ComPtr<IMessageFilter> previous;
};

ComApartment::ComApartment() : state_(std::make_unique<State>()) {}

ComApartment::~ComApartment() = default;

}  // namespace foliomix::com
