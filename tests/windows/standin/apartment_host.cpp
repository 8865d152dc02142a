#include "apartment_host.h"

#include <wrl/client.h>

#include <thread>

namespace standin {
namespace {

using Microsoft::WRL::ComPtr;

// The multithreaded apartment stays for the rest of the process, whether or not a thread of
// ours is in it: the objects made in it live on after the thread that made them has left.
bool KeepMultithreadedApartment() {
    static const bool kept = [] {
        CO_MTA_USAGE_COOKIE cookie{};
        return SUCCEEDED(CoIncrementMTAUsage(&cookie));
    }();
    return kept;
}

}  // namespace

HRESULT MakeInMultithreadedApartment(IDispatch* (*make)(), REFIID riid, void** object) {
    *object = nullptr;
    if (!KeepMultithreadedApartment()) {
        return CO_E_NOTINITIALIZED;
    }
    ComPtr<IStream> marshalled;
    HRESULT hr = E_UNEXPECTED;
    std::thread maker([&] {
        if (FAILED(hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
            return;
        }
        try {
            ComPtr<IDispatch> made;
            made.Attach(make());
            hr = CoMarshalInterThreadInterfaceInStream(riid, made.Get(), &marshalled);
        } catch (...) {
            hr = E_OUTOFMEMORY;
        }
        CoUninitialize();
    });
    maker.join();
    if (FAILED(hr)) {
        return hr;
    }
    // The proxy of the calling apartment; the stream goes with the call.
    return CoGetInterfaceAndReleaseStream(marshalled.Detach(), riid, object);
}

}  // namespace standin
