// The stand-in as an in-process COM server: class objects, self-registration under the engine's
// program identifier and class ids, and a reset for tests that use it several times in one
// process.
#include <objbase.h>
#include <olectl.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "apartment_host.h"
#include "automation_objects.h"
#include "engine.h"
#include "type_library.h"

namespace {

constexpr const wchar_t* kProgId = L"PowerPoint.Application";

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ClassKey(const CLSID& clsid) {
    wchar_t text[40];
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

std::wstring ClassText(const CLSID& clsid) {
    wchar_t text[40];
    StringFromGUID2(clsid, text, 40);
    return text;
}

// A failed step of the registration, on the standard error that regsvr32 passes on: the harness
// shows it, so that a registration that fails says where.
void ReportFailure(const std::wstring& step, long code) {
    std::fwprintf(stderr, L"stand-in registration: %ls failed: 0x%08lx\n", step.c_str(),
                  static_cast<unsigned long>(code));
    std::fflush(stderr);
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LSTATUS status =
        RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(), bytes);
    if (status != ERROR_SUCCESS) {
        ReportFailure(L"HKCR\\" + key + L" " + (name != nullptr ? name : L"(default)"), status);
    }
    return status == ERROR_SUCCESS;
}

// Makes one class with its objects of this kind.
class ClassFactory final : public IClassFactory {
  public:
    using Maker = IDispatch* (*)();
    ClassFactory(Maker make, const wchar_t* name) : make_(make), name_(name) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Static objects: their lifetime is the module's.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        try {
            standin::LogLine(std::wstring(L"Create(") + name_ + L")");
            if (standin::OutOfApartment()) {
                return standin::MakeInMultithreadedApartment(make_, riid, object);
            }
            IDispatch* made = make_();
            const HRESULT hr = made->QueryInterface(riid, object);
            made->Release();
            return hr;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  private:
    Maker make_;
    const wchar_t* name_;
};

ClassFactory applicationFactory(&standin::NewApplication, L"Application");
ClassFactory globalFactory(&standin::NewGlobal, L"Global");

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    if (IsEqualCLSID(clsid, standin::kApplicationClass)) {
        return applicationFactory.QueryInterface(riid, object);
    }
    if (IsEqualCLSID(clsid, standin::kGlobalClass)) {
        return globalFactory.QueryInterface(riid, object);
    }
    if (object != nullptr) {
        *object = nullptr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

// The engine's state lives as long as the process, like a running engine.
HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }

HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        ReportFailure(L"the module's path", static_cast<long>(GetLastError()));
        return SELFREG_E_CLASS;
    }
    bool ok = SetValue(kProgId, nullptr, L"Foliomix stand-in engine") &&
              SetValue(std::wstring(kProgId) + L"\\CLSID", nullptr,
                       ClassText(standin::kApplicationClass));
    for (const CLSID* clsid : {&standin::kApplicationClass, &standin::kGlobalClass}) {
        const std::wstring server = ClassKey(*clsid) + L"\\InprocServer32";
        ok = ok && SetValue(server, nullptr, path) &&
             SetValue(server, L"ThreadingModel", L"Apartment");
    }
    ok = ok && SetValue(ClassKey(standin::kApplicationClass) + L"\\ProgID", nullptr, kProgId);
    if (ok) {
        const HRESULT hr = standin::RegisterTypeLibrary();
        if (FAILED(hr)) {
            ReportFailure(L"the type library", hr);
            ok = false;
        }
    }
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(standin::kApplicationClass).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(standin::kGlobalClass).c_str());
    standin::UnregisterTypeLibrary();
    return S_OK;
}

// For tests that use the stand-in several times in one process: forgets the engine and the
// failure counters, so the next creation starts afresh from the environment.
void STDAPICALLTYPE FoliomixStandinReset() { standin::ResetStandin(); }

}  // extern "C"
