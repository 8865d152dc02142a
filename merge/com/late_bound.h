// Calling members of an automation object by name at run time: IDispatch::GetIDsOfNames, then
// Invoke with positional arguments (reverse order in DISPPARAMS) and DISPID_PROPERTYPUT for
// property writes. Every failure, including the engine's own exception information, is thrown
// as ServerError naming the member.
#pragma once

#include <comutil.h>
#include <oaidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "merge/presentation_server.h"

namespace foliomix::com {

using Microsoft::WRL::ComPtr;

// A failed call as ServerError, with the code it failed with (the engine's own code when it
// raised an exception), for the few callers that tell one failure from another.
// What a failed call's code says in terms a user can act on.
[[nodiscard]] FailureKind FailureKindOf(HRESULT code);

class CallError : public ServerError {
  public:
    CallError(const std::string& message, HRESULT code)
        : ServerError(message, FailureKindOf(code)), code_(code) {}
    [[nodiscard]] HRESULT Code() const { return code_; }

  private:
    HRESULT code_;
};

// Throws CallError "<what> failed: 0x........ <detail>".
[[noreturn]] void ThrowServerError(std::wstring_view what, HRESULT hr,
                                   std::wstring_view detail = {});

class LateBound {
  public:
    // `name` names the object in failure messages, e.g. "Application".
    LateBound(ComPtr<IDispatch> object, std::wstring name);

    [[nodiscard]] _variant_t Get(std::wstring_view member) const;
    // A property that holds an object, e.g. Presentations or Slides.
    [[nodiscard]] LateBound Child(std::wstring_view member) const;
    void Put(std::wstring_view member, const _variant_t& value) const;
    _variant_t Call(std::wstring_view member, std::initializer_list<_variant_t> args = {}) const;

    [[nodiscard]] const std::wstring& Name() const { return name_; }
    // The object's COM identity (its IUnknown): two references are to the same object exactly
    // when their identities are equal.
    [[nodiscard]] ComPtr<IUnknown> Identity() const;

  private:
    _variant_t Invoke(std::wstring_view member, WORD flags, std::span<const _variant_t> args) const;

    ComPtr<IDispatch> object_;
    std::wstring name_;
};

// The object a result holds, asked for the interface `iid` (a dual, used through IDispatch).
[[nodiscard]] LateBound ResultObject(const _variant_t& value, const IID& iid, std::wstring name);
// A numeric result as a 32-bit integer; `what` names it in the failure message. Only a number
// is accepted: an integer type, or a floating value that is whole and in range. Anything else
// (empty, Boolean, text, an object) is a ServerError, never read as some number.
[[nodiscard]] long ResultLong(const _variant_t& value, std::wstring_view what);

// A string argument (VT_BSTR); a failed allocation is a ServerError like any other.
[[nodiscard]] _variant_t TextArgument(std::u16string_view text);

// _bstr_t and _variant_t report their own failures (an allocation, a VariantCopy) through the
// COM support library's error handler, which by default throws _com_error: no std::exception,
// so nothing above the adapter would catch it. After this call they throw ServerError instead.
// The handler is the process's; setting it again is harmless.
void RaiseComSupportErrorsAsServerErrors();

}  // namespace foliomix::com
