#include "merge/com/late_bound.h"

#include <comdef.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <utility>
#include <vector>

#include "merge/com/call_ticker.h"
#include "merge/com/utf8_text.h"
#include "merge/presentation_server.h"

namespace foliomix::com {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows strings are UTF-16");

std::wstring Text(BSTR text) {
    return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
}

// Owns the strings that a callee puts into an EXCEPINFO: they are freed however the reading of
// them ends, an allocation failure included.
class ExceptionStrings {
  public:
    explicit ExceptionStrings(EXCEPINFO& exception) : exception_(exception) {}
    ~ExceptionStrings() {
        SysFreeString(exception_.bstrSource);
        SysFreeString(exception_.bstrDescription);
        SysFreeString(exception_.bstrHelpFile);
    }
    ExceptionStrings(const ExceptionStrings&) = delete;
    ExceptionStrings& operator=(const ExceptionStrings&) = delete;

  private:
    EXCEPINFO& exception_;
};

template <typename Integer>
long IntegerInRange(Integer value, std::wstring_view what) {
    if (!std::in_range<long>(value)) {
        ThrowServerError(what, DISP_E_OVERFLOW, L"(out of range)");
    }
    return static_cast<long>(value);
}

long WholeInRange(double value, std::wstring_view what) {
    if (!std::isfinite(value) || std::trunc(value) != value) {
        ThrowServerError(what, DISP_E_TYPEMISMATCH, L"(not a whole number)");
    }
    if (value < static_cast<double>(std::numeric_limits<long>::min()) ||
        value > static_cast<double>(std::numeric_limits<long>::max())) {
        ThrowServerError(what, DISP_E_OVERFLOW, L"(out of range)");
    }
    return static_cast<long>(value);
}

void WINAPI ThrowComSupportError(HRESULT hr, IErrorInfo* info) {
    ComPtr<IErrorInfo> owned;
    owned.Attach(info);  // the handler receives the reference of the error information
    ThrowServerError(L"COM support library", hr);
}

}  // namespace

FailureKind FailureKindOf(HRESULT code) {
    // Compared, not switched on: HRESULT_FROM_WIN32 is a function with some compilers.
    const auto isAny = [code](std::initializer_list<HRESULT> codes) {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    };
    if (isAny({E_ACCESSDENIED, STG_E_ACCESSDENIED})) {
        return FailureKind::PermissionDenied;
    }
    if (isAny({HRESULT_FROM_WIN32(ERROR_DISK_FULL), HRESULT_FROM_WIN32(ERROR_HANDLE_DISK_FULL),
               STG_E_MEDIUMFULL})) {
        return FailureKind::DiskFull;
    }
    // The engine's process is gone, or no longer answers.
    if (isAny({RPC_E_DISCONNECTED, RPC_E_SERVER_DIED, RPC_E_SERVER_DIED_DNE,
               HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), HRESULT_FROM_WIN32(RPC_S_CALL_FAILED),
               CO_E_OBJNOTCONNECTED})) {
        return FailureKind::EngineStopped;
    }
    return FailureKind::Other;
}

void RaiseComSupportErrorsAsServerErrors() { _set_com_error_handler(&ThrowComSupportError); }

void ThrowServerError(std::wstring_view what, HRESULT hr, std::wstring_view detail) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    std::string message = Utf8(what);
    message.append(" failed: ").append(code);
    if (!detail.empty()) {
        message.append(" ").append(Utf8(detail));
    }
    throw CallError(message, hr);
}

_variant_t TextArgument(std::u16string_view text) {
    BSTR copy = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                  static_cast<UINT>(text.size()));
    if (copy == nullptr) {
        ThrowServerError(L"SysAllocStringLen", E_OUTOFMEMORY);
    }
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = copy;
    return _variant_t(argument, false);  // takes ownership of the BSTR
}

LateBound::LateBound(ComPtr<IDispatch> object, std::wstring name)
    : object_(std::move(object)), name_(std::move(name)) {}

ComPtr<IUnknown> LateBound::Identity() const {
    const CallTicker ticker;  // a QueryInterface of a proxy is a call to the engine
    ComPtr<IUnknown> identity;
    const HRESULT hr = object_.As(&identity);
    if (FAILED(hr)) {
        ThrowServerError(name_, hr, L"(QueryInterface IUnknown)");
    }
    return identity;
}

_variant_t LateBound::Get(std::wstring_view member) const {
    return Invoke(member, DISPATCH_PROPERTYGET, {});
}

LateBound LateBound::Child(std::wstring_view member) const {
    return ResultObject(Get(member), IID_IDispatch, std::wstring(member));
}

void LateBound::Put(std::wstring_view member, const _variant_t& value) const {
    Invoke(member, DISPATCH_PROPERTYPUT, std::span<const _variant_t>(&value, 1));
}

_variant_t LateBound::Call(std::wstring_view member, std::initializer_list<_variant_t> args) const {
    return Invoke(member, DISPATCH_METHOD, std::span<const _variant_t>(args.begin(), args.size()));
}

_variant_t LateBound::Invoke(std::wstring_view member, WORD flags,
                             std::span<const _variant_t> args) const {
    // The member lookup and the call are calls to the engine, each of them may be pending.
    const CallTicker ticker;
    const std::wstring what = name_ + L"." + std::wstring(member);
    std::wstring memberName(member);
    LPOLESTR names[] = {memberName.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        ThrowServerError(what, hr, L"(member lookup)");
    }

    // DISPPARAMS takes the arguments last first; the copies are shallow, `args` keeps them.
    std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    _variant_t result;
    EXCEPINFO exception{};
    const ExceptionStrings exceptionStrings(exception);
    UINT argError = 0;
    hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                         flags == DISPATCH_PROPERTYPUT ? nullptr : &result, &exception, &argError);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) {
            exception.pfnDeferredFillIn(&exception);
        }
        const HRESULT code = exception.scode != 0 ? exception.scode : hr;
        ThrowServerError(what, code,
                         Text(exception.bstrSource) + L": " + Text(exception.bstrDescription));
    }
    if (FAILED(hr)) {
        ThrowServerError(what, hr);
    }
    return result;
}

LateBound ResultObject(const _variant_t& value, const IID& iid, std::wstring name) {
    if ((V_VT(&value) != VT_DISPATCH && V_VT(&value) != VT_UNKNOWN) ||
        V_UNKNOWN(&value) == nullptr) {
        ThrowServerError(name, DISP_E_TYPEMISMATCH, L"(no object returned)");
    }
    const CallTicker ticker;  // a QueryInterface of a proxy is a call to the engine
    ComPtr<IDispatch> object;
    // A dual interface derives from IDispatch, so its pointer is used as one.
    const HRESULT hr = V_UNKNOWN(&value)->QueryInterface(
        iid, reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) {
        ThrowServerError(name, hr, L"(QueryInterface)");
    }
    return LateBound(std::move(object), std::move(name));
}

long ResultLong(const _variant_t& value, std::wstring_view what) {
    switch (V_VT(&value)) {
        case VT_I1:
            return V_I1(&value);
        case VT_I2:
            return V_I2(&value);
        case VT_I4:
            return V_I4(&value);
        case VT_INT:
            return IntegerInRange(V_INT(&value), what);
        case VT_I8:
            return IntegerInRange(V_I8(&value), what);
        case VT_UI1:
            return V_UI1(&value);
        case VT_UI2:
            return V_UI2(&value);
        case VT_UI4:
            return IntegerInRange(V_UI4(&value), what);
        case VT_UINT:
            return IntegerInRange(V_UINT(&value), what);
        case VT_UI8:
            return IntegerInRange(V_UI8(&value), what);
        case VT_R4:
            return WholeInRange(V_R4(&value), what);
        case VT_R8:
            return WholeInRange(V_R8(&value), what);
        default:
            ThrowServerError(what, DISP_E_TYPEMISMATCH, L"(not a number)");
    }
}

}  // namespace foliomix::com
