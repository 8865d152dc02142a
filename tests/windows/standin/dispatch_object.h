// IDispatch by member name for the stand-in's objects: GetIDsOfNames over a fixed member table,
// Invoke with positional arguments (reverse order in DISPPARAMS) and DISPID_PROPERTYPUT for
// property writes, as an automation client of the real engine calls them. Every call is
// recorded in the call log and may be made to fail (engine.h).
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine.h"

namespace standin {

enum class Access { Method, Get, Put };

struct Member {
    const wchar_t* name;
    bool property;
    bool settable;
};

// What a member did: S_OK with the text of its result for the log, or a failure.
struct Outcome {
    HRESULT hr = S_OK;
    std::wstring result;              // for the log: "true", "3", "Presentation[2]"
    std::wstring error;               // description for EXCEPINFO when hr is a failure
    bool raw = false;                 // hr returned as is, not as DISP_E_EXCEPTION
    std::vector<std::wstring> after;  // log lines of what the call caused

    static Outcome Fail(HRESULT code, std::wstring description) {
        Outcome outcome;
        outcome.hr = code;
        outcome.error = std::move(description);
        return outcome;
    }
    static Outcome Raw(HRESULT code) {
        Outcome outcome;
        outcome.hr = code;
        outcome.raw = true;
        return outcome;
    }
};

using Arguments = std::span<const VARIANT* const>;

// Answered by the stand-in's own objects only: lets a member that takes an object (a Design)
// and the call log recognise them among whatever a client passes.
inline constexpr IID kStandinObjectInterface = {
    0x6a3c1f52, 0x0d4e, 0x4b7a, {0x9c, 0x21, 0x5e, 0x8f, 0x30, 0x44, 0x17, 0xb2}};

class DispatchObject : public IDispatch {
  public:
    DispatchObject(std::wstring kind, std::span<const Member> members, const IID& ownIid,
                   std::shared_ptr<Engine> engine);
    virtual ~DispatchObject() = default;
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

    // The stand-in's own object behind an argument, or nullptr for anything else. The object
    // lives at least as long as the argument that holds it.
    [[nodiscard]] static DispatchObject* Of(const VARIANT& arg);
    [[nodiscard]] const std::wstring& Kind() const { return kind_; }
    [[nodiscard]] std::wstring LogName() const { return Label(); }

  protected:
    // The object's name in the log, e.g. "Presentation[2]".
    [[nodiscard]] virtual std::wstring Label() const { return kind_; }
    virtual Outcome Call(std::wstring_view member, Access access, Arguments args,
                         VARIANT* result) = 0;
    [[nodiscard]] const std::shared_ptr<Engine>& EngineRef() const { return engine_; }

  private:
    std::wstring kind_;
    std::span<const Member> members_;
    IID ownIid_;
    std::shared_ptr<Engine> engine_;  // null for objects that do not belong to one engine
    std::atomic<ULONG> references_{1};
};

// Argument readers: S_OK and the value, or DISP_E_TYPEMISMATCH.
HRESULT ArgText(const VARIANT& arg, std::wstring& value);
HRESULT ArgInt(const VARIANT& arg, long& value);
// Strictly a number of an integer type: no text, Boolean or floating value is converted.
HRESULT ArgInteger(const VARIANT& arg, long& value);
HRESULT ArgBool(const VARIANT& arg, bool& value);
// A number of any numeric type (no text or Boolean), as a float.
HRESULT ArgNumber(const VARIANT& arg, float& value);
[[nodiscard]] bool ArgMissing(const VARIANT& arg);
[[nodiscard]] std::wstring FormatArg(const VARIANT& arg);

// Hands a new object to a VARIANT result as VT_DISPATCH (the VARIANT takes the reference).
void ReturnObject(VARIANT* result, IDispatch* object);

}  // namespace standin
