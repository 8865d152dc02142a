#include "dispatch_object.h"

#include <oleauto.h>

#include <cstdio>
#include <cwchar>

namespace standin {
namespace {

std::wstring HexCode(HRESULT hr) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

void FillException(EXCEPINFO* exception, HRESULT code, const std::wstring& description) {
    if (exception == nullptr) {
        return;
    }
    *exception = EXCEPINFO{};
    exception->bstrSource = SysAllocString(L"Foliomix stand-in engine");
    exception->bstrDescription = SysAllocString(description.c_str());
    exception->scode = code;
}

// VariantChangeType reads its source only; some headers declare it non-const.
VARIANTARG* Source(const VARIANT& arg) { return const_cast<VARIANTARG*>(&arg); }

}  // namespace

DispatchObject::DispatchObject(std::wstring kind, std::span<const Member> members,
                               const IID& ownIid, std::shared_ptr<Engine> engine)
    : kind_(std::move(kind)), members_(members), ownIid_(ownIid), engine_(std::move(engine)) {}

HRESULT DispatchObject::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    // The engine's interfaces are duals: their own id answers with the IDispatch.
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, ownIid_) || IsEqualIID(riid, kStandinObjectInterface)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

DispatchObject* DispatchObject::Of(const VARIANT& arg) {
    if (V_VT(&arg) != VT_DISPATCH || V_DISPATCH(&arg) == nullptr) {
        return nullptr;
    }
    IDispatch* object = nullptr;
    if (FAILED(V_DISPATCH(&arg)->QueryInterface(kStandinObjectInterface,
                                                reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    object->Release();  // the argument keeps its own reference
    return static_cast<DispatchObject*>(object);
}

ULONG DispatchObject::AddRef() { return ++references_; }

ULONG DispatchObject::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;  // the COM reference count owns the object
    }
    return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr || count == 0) {
        return E_INVALIDARG;
    }
    HRESULT hr = S_OK;
    ids[0] = DISPID_UNKNOWN;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (_wcsicmp(members_[i].name, names[0]) == 0) {
            ids[0] = static_cast<DISPID>(i + 1);
        }
    }
    if (ids[0] == DISPID_UNKNOWN) {
        LogLine(Label() + L".GetIDsOfNames(\"" + names[0] + L"\") -> unknown");
        hr = DISP_E_UNKNOWNNAME;
    }
    // No member takes named arguments.
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT*) {
    try {
        if (id < 1 || static_cast<std::size_t>(id) > members_.size()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (params == nullptr) {
            return E_INVALIDARG;
        }
        const Member& member = members_[static_cast<std::size_t>(id - 1)];
        Access access = Access::Method;
        if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
            if (!member.settable) {
                return DISP_E_MEMBERNOTFOUND;
            }
            if (params->cNamedArgs != 1 || params->rgdispidNamedArgs == nullptr ||
                params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || params->cArgs != 1) {
                return DISP_E_PARAMNOTFOUND;
            }
            access = Access::Put;
        } else if (member.property && (flags & DISPATCH_PROPERTYGET) != 0) {
            access = Access::Get;
        } else if (!member.property && (flags & DISPATCH_METHOD) != 0) {
            access = Access::Method;
        } else {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (access != Access::Put && params->cNamedArgs != 0) {
            return DISP_E_NONAMEDARGS;
        }

        // Positional order: the last element of rgvarg is the first argument.
        std::vector<const VARIANT*> args;
        for (UINT i = params->cArgs; i > 0; --i) {
            const VARIANT* arg = &params->rgvarg[i - 1];
            if (V_VT(arg) == (VT_VARIANT | VT_BYREF)) {
                arg = V_VARIANTREF(arg);
            }
            args.push_back(arg);
        }

        const wchar_t* accessor = access == Access::Get   ? L"get"
                                  : access == Access::Put ? L"put"
                                                          : L"";
        std::wstring line = Label() + L"." + member.name;
        if (access != Access::Method) {
            line += L".";
            line += accessor;
        }
        line += L"(";
        for (std::size_t i = 0; i < args.size(); ++i) {
            line += (i == 0 ? L"" : L",") + FormatArg(*args[i]);
        }
        line += L")";

        if (BlockedCall(kind_ + L"." + member.name, accessor)) {
            // Written when the block starts, so that a test can act while the call is pending;
            // the call then goes on as usual.
            std::wstring blocked = Label() + L"." + member.name;
            if (access != Access::Method) {
                blocked += L".";
                blocked += accessor;
            }
            LogLine(L"Engine.Blocked(" + blocked + L")");
            Sleep(BlockMs());
        }

        VARIANT value;
        VariantInit(&value);
        Outcome outcome;
        if (engine_ && !engine_->Alive()) {
            outcome = Outcome::Raw(RPC_E_DISCONNECTED);
        } else if (InjectedFailure(kind_ + L"." + member.name, accessor)) {
            outcome = Outcome::Fail(E_FAIL, L"injected failure of " + kind_ + L"." + member.name);
        } else {
            outcome = Call(member.name, access, args, &value);
        }

        if (SUCCEEDED(outcome.hr)) {
            LogLine(outcome.result.empty() ? line : line + L" -> " + outcome.result);
        } else {
            LogLine(line + L" -> FAILED " + HexCode(outcome.hr));
        }
        for (const std::wstring& after : outcome.after) {
            LogLine(after);
        }
        if (FAILED(outcome.hr)) {
            VariantClear(&value);
            if (outcome.raw) {
                return outcome.hr;
            }
            FillException(exception, outcome.hr, outcome.error);
            return DISP_E_EXCEPTION;
        }
        if (result != nullptr) {
            *result = value;
        } else {
            VariantClear(&value);
        }
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT ArgText(const VARIANT& arg, std::wstring& value) {
    VARIANT text;
    VariantInit(&text);
    const HRESULT hr = VariantChangeType(&text, Source(arg), 0, VT_BSTR);
    if (FAILED(hr)) {
        return DISP_E_TYPEMISMATCH;
    }
    value.assign(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
    VariantClear(&text);
    return S_OK;
}

HRESULT ArgInt(const VARIANT& arg, long& value) {
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, Source(arg), 0, VT_I4))) {
        return DISP_E_TYPEMISMATCH;
    }
    value = V_I4(&number);
    return S_OK;
}

HRESULT ArgInteger(const VARIANT& arg, long& value) {
    switch (V_VT(&arg)) {
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_INT:
        case VT_I8:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UINT:
        case VT_UI8:
            return ArgInt(arg, value);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ArgBool(const VARIANT& arg, bool& value) {
    VARIANT flag;
    VariantInit(&flag);
    if (FAILED(VariantChangeType(&flag, Source(arg), 0, VT_BOOL))) {
        return DISP_E_TYPEMISMATCH;
    }
    value = V_BOOL(&flag) != VARIANT_FALSE;
    return S_OK;
}

HRESULT ArgNumber(const VARIANT& arg, float& value) {
    switch (V_VT(&arg)) {
        case VT_BOOL:
        case VT_BSTR:
        case VT_EMPTY:
        case VT_NULL:
        case VT_DISPATCH:
        case VT_UNKNOWN:
        case VT_ERROR:
            return DISP_E_TYPEMISMATCH;
        default:
            break;
    }
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, Source(arg), 0, VT_R4))) {
        return DISP_E_TYPEMISMATCH;
    }
    value = V_R4(&number);
    return S_OK;
}

bool ArgMissing(const VARIANT& arg) {
    return V_VT(&arg) == VT_ERROR && V_ERROR(&arg) == DISP_E_PARAMNOTFOUND;
}

std::wstring FormatArg(const VARIANT& arg) {
    const VARIANT* value = &arg;
    switch (V_VT(value)) {
        case VT_BSTR:
            return L"\"" + std::wstring(V_BSTR(value), SysStringLen(V_BSTR(value))) + L"\"";
        case VT_BOOL:
            return V_BOOL(value) != VARIANT_FALSE ? L"true" : L"false";
        case VT_I2:
            return std::to_wstring(V_I2(value));
        case VT_I4:
            return std::to_wstring(V_I4(value));
        case VT_INT:
            return std::to_wstring(V_INT(value));
        case VT_R4:
        case VT_R8: {
            wchar_t text[32];
            const double number = V_VT(value) == VT_R4 ? V_R4(value) : V_R8(value);
            std::swprintf(text, 32, L"%g", number);
            return text;
        }
        case VT_EMPTY:
            return L"<empty>";
        case VT_DISPATCH: {
            const DispatchObject* object = DispatchObject::Of(*value);
            return object != nullptr ? object->LogName() : L"<object>";
        }
        default:
            if (ArgMissing(*value)) {
                return L"<missing>";
            }
            return L"<vt " + std::to_wstring(V_VT(value)) + L">";
    }
}

void ReturnObject(VARIANT* result, IDispatch* object) {
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = object;
}

}  // namespace standin
