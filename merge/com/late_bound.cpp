#include "merge/com/late_bound.h"

#include <cstdio>
#include <vector>

#include "merge/com/utf8_text.h"
#include "merge/presentation_server.h"

namespace foliomix::com {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows strings are UTF-16");

std::wstring Text(BSTR text) {
    return text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
}

}  // namespace

void ThrowServerError(std::wstring_view what, HRESULT hr, std::wstring_view detail) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    std::string message = Utf8(what);
    message.append(" failed: ").append(code);
    if (!detail.empty()) {
        message.append(" ").append(Utf8(detail));
    }
    throw ServerError(message);
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
    UINT argError = 0;
    hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                         flags == DISPATCH_PROPERTYPUT ? nullptr : &result, &exception, &argError);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) {
            exception.pfnDeferredFillIn(&exception);
        }
        // Take ownership of the strings the callee allocated.
        const _bstr_t source(exception.bstrSource, false);
        const _bstr_t description(exception.bstrDescription, false);
        const _bstr_t helpFile(exception.bstrHelpFile, false);
        const HRESULT code = exception.scode != 0 ? exception.scode : hr;
        ThrowServerError(what, code, Text(source) + L": " + Text(description));
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
    VARIANT number;
    VariantInit(&number);
    const HRESULT hr = VariantChangeType(
        &number, const_cast<VARIANT*>(static_cast<const VARIANT*>(&value)), 0, VT_I4);
    if (FAILED(hr)) {
        ThrowServerError(what, hr, L"(not a number)");
    }
    return V_I4(&number);
}

}  // namespace foliomix::com
