#include "type_library.h"

#include <oaidl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>

#include "automation_objects.h"

namespace standin {
namespace {

using Microsoft::WRL::ComPtr;

constexpr GUID kLibraryId = {
    0x6a3c1f53, 0x0d4e, 0x4b7a, {0x9c, 0x21, 0x5e, 0x8f, 0x30, 0x44, 0x17, 0xb3}};
constexpr WORD kMajor = 1;
constexpr WORD kMinor = 0;

struct Dispinterface {
    const wchar_t* name;
    const IID* iid;
};
constexpr Dispinterface kDispinterfaces[] = {{L"_Application", &kApplicationInterface},
                                             {L"_Global", &kGlobalInterface}};

std::wstring LibraryPath() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return std::wstring(folder, length) + L"foliomix_standin.tlb";
}

HRESULT WriteLibrary(const std::wstring& path) {
    ComPtr<ITypeLib> standard;
    HRESULT hr = LoadRegTypeLib(IID_StdOle, STDOLE2_MAJORVERNUM, STDOLE2_MINORVERNUM, STDOLE2_LCID,
                                &standard);
    ComPtr<ITypeInfo> dispatch;
    if (SUCCEEDED(hr)) {
        hr = standard->GetTypeInfoOfGuid(IID_IDispatch, &dispatch);
    }
    ComPtr<ICreateTypeLib2> library;
    if (SUCCEEDED(hr)) {
        hr = CreateTypeLib2(SYS_WIN64, path.c_str(), &library);
    }
    if (SUCCEEDED(hr)) {
        hr = library->SetGuid(kLibraryId);
    }
    if (SUCCEEDED(hr)) {
        hr = library->SetVersion(kMajor, kMinor);
    }
    if (SUCCEEDED(hr)) {
        std::wstring name = L"FoliomixStandin";
        hr = library->SetName(name.data());
    }
    for (const Dispinterface& described : kDispinterfaces) {
        ComPtr<ICreateTypeInfo> info;
        std::wstring name = described.name;
        if (SUCCEEDED(hr)) {
            hr = library->CreateTypeInfo(name.data(), TKIND_DISPATCH, &info);
        }
        if (SUCCEEDED(hr)) {
            hr = info->SetGuid(*described.iid);
        }
        HREFTYPE base = 0;
        if (SUCCEEDED(hr)) {
            hr = info->AddRefTypeInfo(dispatch.Get(), &base);
        }
        if (SUCCEEDED(hr)) {
            hr = info->AddImplType(0, base);
        }
        if (SUCCEEDED(hr)) {
            hr = info->LayOut();
        }
    }
    if (SUCCEEDED(hr)) {
        hr = library->SaveAllChanges();
    }
    return hr;
}

}  // namespace

HRESULT RegisterTypeLibrary() {
    const std::wstring path = LibraryPath();
    if (path.empty()) {
        return E_FAIL;
    }
    HRESULT hr = WriteLibrary(path);
    ComPtr<ITypeLib> loaded;
    if (SUCCEEDED(hr)) {
        hr = LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &loaded);
    }
    return hr;
}

void UnregisterTypeLibrary() {
    UnRegisterTypeLib(kLibraryId, kMajor, kMinor, LANG_NEUTRAL, SYS_WIN64);
    const std::wstring path = LibraryPath();
    if (!path.empty()) {
        DeleteFileW(path.c_str());
    }
}

}  // namespace standin
