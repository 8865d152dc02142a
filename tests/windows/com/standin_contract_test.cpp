// The stand-in engine itself, called through raw IDispatch: the end-to-end tests of the window
// rely on it being as strict as an automation server and on its record of the user's work.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/windows/com/standin_test.h"

namespace foliomix::com::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class StandinContract : public StandinTest {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        CreateApplication();
    }

    // The application object, as the adapter gets it, into `app`.
    void CreateApplication() {
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(L"PowerPoint.application", &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(app.ReleaseAndGetAddressOf())),
                  S_OK);
    }

    // The stand-in started again as an engine that already holds the user's presentation.
    void StartAsTheUsersEngine() {
        Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
        RestartStandin();
        CreateApplication();
    }

    // Invokes `member` with `rgvarg` exactly as given (DISPPARAMS order: last argument first).
    static HRESULT Raw(IDispatch* object, const wchar_t* member, WORD flags,
                       std::vector<_variant_t> rgvarg, bool namedPut = false,
                       _variant_t* result = nullptr) {
        std::wstring name(member);
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) {
            return hr;
        }
        std::vector<VARIANTARG> args(rgvarg.begin(), rgvarg.end());
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params{args.empty() ? nullptr : args.data(), namedPut ? &putId : nullptr,
                          static_cast<UINT>(args.size()), namedPut ? 1U : 0U};
        EXCEPINFO exception{};
        _variant_t ignored;
        const HRESULT invoked =
            object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                           result != nullptr ? result : &ignored, &exception, nullptr);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        return invoked;
    }

    ComPtr<IDispatch> Child(IDispatch* object, const wchar_t* member) {
        _variant_t value;
        EXPECT_EQ(Raw(object, member, DISPATCH_PROPERTYGET, {}, false, &value), S_OK);
        ComPtr<IDispatch> child;
        if (V_VT(&value) == VT_DISPATCH && V_DISPATCH(&value) != nullptr) {
            child = V_DISPATCH(&value);
        }
        return child;
    }

    ComPtr<IDispatch> NewPresentation() {
        const ComPtr<IDispatch> presentations = Child(app.Get(), L"Presentations");
        _variant_t value;
        EXPECT_EQ(Raw(presentations.Get(), L"Add", DISPATCH_METHOD, {}, false, &value), S_OK);
        ComPtr<IDispatch> presentation;
        if (V_VT(&value) == VT_DISPATCH) {
            presentation = V_DISPATCH(&value);
        }
        return presentation;
    }

    ComPtr<IDispatch> app;
};

// How a member is invoked decides whether it is found, as with a real automation server.
struct Invocation {
    const char* name;
    const wchar_t* member;
    WORD flags;
    int args;  // a Boolean argument or none
    bool namedPut;
    HRESULT expected;
};

void PrintTo(const Invocation& invocation, std::ostream* out) { *out << invocation.name; }

class StandinInvocation : public StandinContract,
                          public ::testing::WithParamInterface<Invocation> {};

TEST_P(StandinInvocation, IsAcceptedOnlyInTheAutomationForm) {
    const Invocation& call = GetParam();
    std::vector<_variant_t> args;
    if (call.args == 1) {
        args.emplace_back(false);
    }
    EXPECT_EQ(Raw(app.Get(), call.member, call.flags, args, call.namedPut), call.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, StandinInvocation,
    ::testing::Values(
        Invocation{"PropertyGet", L"DisplayAlerts", DISPATCH_PROPERTYGET, 0, false, S_OK},
        Invocation{"GetOrMethod", L"DisplayAlerts", DISPATCH_PROPERTYGET | DISPATCH_METHOD, 0,
                   false, S_OK},
        Invocation{"PropertyAsMethod", L"DisplayAlerts", DISPATCH_METHOD, 0, false,
                   DISP_E_MEMBERNOTFOUND},
        Invocation{"PutWithNamedArgument", L"DisplayAlerts", DISPATCH_PROPERTYPUT, 1, true, S_OK},
        Invocation{"PutWithoutNamedArgument", L"DisplayAlerts", DISPATCH_PROPERTYPUT, 1, false,
                   DISP_E_PARAMNOTFOUND},
        Invocation{"PutOnReadOnly", L"Presentations", DISPATCH_PROPERTYPUT, 1, true,
                   DISP_E_MEMBERNOTFOUND},
        Invocation{"MethodAsGet", L"Quit", DISPATCH_PROPERTYGET, 0, false, DISP_E_MEMBERNOTFOUND},
        Invocation{"MethodWithExtraArgument", L"Quit", DISPATCH_METHOD, 1, false,
                   DISP_E_BADPARAMCOUNT},
        Invocation{"UnknownMember", L"Activate", DISPATCH_METHOD, 0, false, DISP_E_UNKNOWNNAME},
        Invocation{"NameInAnyCase", L"displayalerts", DISPATCH_PROPERTYGET, 0, false, S_OK}),
    [](const ::testing::TestParamInfo<Invocation>& tested) {
        return std::string(tested.param.name);
    });

// Presentations.Item(Index) as strictly as the engine's other members take their arguments.
struct ItemCall {
    const char* name;
    std::vector<_variant_t> rgvarg;  // DISPPARAMS order
    HRESULT expected;
};

void PrintTo(const ItemCall& call, std::ostream* out) { *out << call.name; }

class StandinItem : public StandinContract, public ::testing::WithParamInterface<ItemCall> {};

TEST_P(StandinItem, AcceptsOnlyOneWholeNumberInRange) {
    const ComPtr<IDispatch> presentation = NewPresentation();  // the engine holds one
    const ComPtr<IDispatch> presentations = Child(app.Get(), L"Presentations");
    _variant_t item;
    EXPECT_EQ(Raw(presentations.Get(), L"Item", DISPATCH_METHOD, GetParam().rgvarg, false, &item),
              GetParam().expected);
    EXPECT_EQ(V_VT(&item), GetParam().expected == S_OK ? VT_DISPATCH : VT_EMPTY);
}

_variant_t Missing() { return _variant_t(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR); }

INSTANTIATE_TEST_SUITE_P(
    Forms, StandinItem,
    ::testing::Values(ItemCall{"Long", {_variant_t(1L)}, S_OK},
                      ItemCall{"Short", {_variant_t(static_cast<short>(1))}, S_OK},
                      ItemCall{"NoArgument", {}, DISP_E_BADPARAMCOUNT},
                      ItemCall{
                          "TwoArguments", {_variant_t(1L), _variant_t(1L)}, DISP_E_BADPARAMCOUNT},
                      ItemCall{"Omitted", {Missing()}, DISP_E_PARAMNOTFOUND},
                      ItemCall{"Text", {_variant_t(L"1")}, DISP_E_TYPEMISMATCH},
                      ItemCall{"Boolean", {_variant_t(true)}, DISP_E_TYPEMISMATCH},
                      ItemCall{"Double", {_variant_t(1.0)}, DISP_E_TYPEMISMATCH},
                      ItemCall{"Zero", {_variant_t(0L)}, DISP_E_EXCEPTION},
                      ItemCall{"PastTheLast", {_variant_t(2L)}, DISP_E_EXCEPTION}),
    [](const ::testing::TestParamInfo<ItemCall>& tested) {
        return std::string(tested.param.name);
    });

ComPtr<IUnknown> Identity(IDispatch* object) {
    ComPtr<IUnknown> identity;
    EXPECT_EQ(
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf())),
        S_OK);
    return identity;
}

TEST_F(StandinContract, ItemHandsOutTheObjectThatAddReturned) {
    StartAsTheUsersEngine();
    if (HasFatalFailure()) {
        return;
    }
    const ComPtr<IDispatch> ours = NewPresentation();
    ASSERT_NE(ours.Get(), nullptr);
    const ComPtr<IDispatch> presentations = Child(app.Get(), L"Presentations");
    _variant_t first;
    _variant_t second;
    ASSERT_EQ(Raw(presentations.Get(), L"Item", DISPATCH_METHOD, {_variant_t(1L)}, false, &first),
              S_OK);
    ASSERT_EQ(Raw(presentations.Get(), L"Item", DISPATCH_METHOD, {_variant_t(2L)}, false, &second),
              S_OK);
    ASSERT_EQ(V_VT(&first), VT_DISPATCH);
    ASSERT_EQ(V_VT(&second), VT_DISPATCH);
    EXPECT_EQ(Identity(V_DISPATCH(&second)).Get(), Identity(ours.Get()).Get());
    EXPECT_NE(Identity(V_DISPATCH(&first)).Get(), Identity(ours.Get()).Get());
    EXPECT_THAT(Log(), ::testing::IsSupersetOf({"Presentations.Item(1) -> Presentation[1]",
                                                "Presentations.Item(2) -> Presentation[2]"}));
}

TEST_F(StandinContract, ReadsArgumentsLastFirstFromDispparams) {
    const std::wstring deck = MakeDeck(L"甲.ppt", {"s1", "s2"});
    const ComPtr<IDispatch> presentation = NewPresentation();
    const ComPtr<IDispatch> slides = Child(presentation.Get(), L"Slides");
    // Positional order (FileName, Index) given in the wrong array order fails...
    EXPECT_NE(Raw(slides.Get(), L"InsertFromFile", DISPATCH_METHOD,
                  {_variant_t(deck.c_str()), _variant_t(0L)}),
              S_OK);
    // ...and in DISPPARAMS order works.
    EXPECT_EQ(Raw(slides.Get(), L"InsertFromFile", DISPATCH_METHOD,
                  {_variant_t(0L), _variant_t(deck.c_str())}),
              S_OK);
    _variant_t count;
    EXPECT_EQ(Raw(slides.Get(), L"Count", DISPATCH_PROPERTYGET, {}, false, &count), S_OK);
    EXPECT_EQ(V_I4(&count), 2);
}

TEST_F(StandinContract, InsertHonoursTheOptionalSlideRange) {
    const std::wstring deck = MakeDeck(L"a.ppt", {"s1", "s2", "s3", "s4"});
    const std::wstring out = PathOf(L"out.ppt");
    const ComPtr<IDispatch> presentation = NewPresentation();
    const ComPtr<IDispatch> slides = Child(presentation.Get(), L"Slides");
    EXPECT_EQ(Raw(slides.Get(), L"InsertFromFile", DISPATCH_METHOD,
                  {_variant_t(3L), _variant_t(2L), _variant_t(0L), _variant_t(deck.c_str())}),
              S_OK);
    EXPECT_EQ(Raw(presentation.Get(), L"SaveAs", DISPATCH_METHOD, {_variant_t(out.c_str())}), S_OK);
    EXPECT_THAT(ReadDeck(out), ::testing::Optional(ElementsAre("s2", "s3")));
}

TEST_F(StandinContract, NumberedFailureRuleFailsOnlyThatCall) {
    Control(L"FOLIOMIX_STANDIN_FAIL", L"Presentations.Add, Application.DisplayAlerts.get#2");
    for (const HRESULT expected : {S_OK, DISP_E_EXCEPTION, S_OK}) {
        EXPECT_EQ(Raw(app.Get(), L"DisplayAlerts", DISPATCH_PROPERTYGET, {}), expected);
    }
    // A put is not a get: the rule does not count it.
    EXPECT_EQ(Raw(app.Get(), L"DisplayAlerts", DISPATCH_PROPERTYPUT, {_variant_t(true)}, true),
              S_OK);
    EXPECT_THAT(Log(), Contains("Application.DisplayAlerts.get() -> FAILED 0x80004005"));
}

TEST_F(StandinContract, QuitWithTheUsersPresentationOpenRecordsTheLoss) {
    StartAsTheUsersEngine();
    if (HasFatalFailure()) {
        return;
    }
    const ComPtr<IDispatch> presentation = NewPresentation();
    Mark();
    EXPECT_EQ(Raw(app.Get(), L"Quit", DISPATCH_METHOD, {}), S_OK);
    EXPECT_THAT(
        Since(),
        ElementsAre("Application.Quit()", "Engine.Discarded(Presentation[1],user,unsaved)",
                    "Engine.Discarded(Presentation[2],automation,unsaved)", "Engine.End()"));
    // Objects of the ended engine answer as a vanished server does.
    EXPECT_EQ(Raw(presentation.Get(), L"Close", DISPATCH_METHOD, {}), RPC_E_DISCONNECTED);
}

TEST_F(StandinContract, SaveAsReplacesAnExistingFile) {
    const std::wstring out = MakeDeck(L"旧.ppt", {"old1", "old2"});
    const ComPtr<IDispatch> presentation = NewPresentation();
    EXPECT_EQ(Raw(presentation.Get(), L"SaveAs", DISPATCH_METHOD, {_variant_t(out.c_str())}), S_OK);
    EXPECT_THAT(ReadDeck(out), ::testing::Optional(ElementsAre()));
}

}  // namespace
}  // namespace foliomix::com::testing
