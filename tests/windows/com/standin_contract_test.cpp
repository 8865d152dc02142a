// The stand-in engine itself, called through raw IDispatch: the end-to-end tests of the window
// rely on it being as strict as an automation server and on its record of the user's work.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
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

TEST_F(StandinContract, SaveAsTakesAKnownFileFormatOfAnIntegerTypeOnly) {
    struct Case {
        const char* name;
        _variant_t format;
        HRESULT expected;
    };
    const std::wstring out = PathOf(L"格式.pptx");
    const ComPtr<IDispatch> presentation = NewPresentation();
    for (const Case& c : {Case{"OpenXml", _variant_t(24L), S_OK},
                          Case{"PdfAsShort", _variant_t(static_cast<short>(32)), S_OK},
                          Case{"Text", _variant_t(L"24"), DISP_E_TYPEMISMATCH},
                          Case{"Floating", _variant_t(24.0), DISP_E_TYPEMISMATCH},
                          Case{"NoSuchFormat", _variant_t(25L), DISP_E_EXCEPTION}}) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(out);
        EXPECT_EQ(Raw(presentation.Get(), L"SaveAs", DISPATCH_METHOD,
                      {c.format, _variant_t(out.c_str())}),
                  c.expected);
        EXPECT_EQ(std::filesystem::exists(out), c.expected == S_OK);
    }
    EXPECT_THAT(Log(),
                ::testing::IsSupersetOf({"Presentation[1].SaveAs(\"" + Utf8(out) + "\",24)",
                                         "Presentation[1].SaveAs(\"" + Utf8(out) + "\",32)"}));
}

// ---- slide size, designs and opened files --------------------------------------------------

LateBound Item(const LateBound& collection, long index) {
    return ResultObject(collection.Call(L"Item", {_variant_t(index)}), IID_IDispatch, L"Item");
}

std::string Text(const _variant_t& value) {
    return V_VT(&value) == VT_BSTR
               ? Utf8(std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))))
               : "<not text>";
}

// The log line of the read-only, windowless open of `path`, with the presentation it gave.
std::string OpenLine(const std::wstring& path, int presentation) {
    std::string line = "Presentations.Open(\"";
    line += Utf8(path);
    line += "\",-1,0,0) -> Presentation[";
    line += std::to_string(presentation);
    line += "]";
    return line;
}

float Number(const _variant_t& value) { return V_VT(&value) == VT_R4 ? V_R4(&value) : -1.0F; }

// Presentations.Open(FileName, ReadOnly:=msoTrue, Untitled:=msoFalse, WithWindow:=msoFalse)
LateBound OpenReadOnly(const LateBound& application, const std::wstring& path) {
    return ResultObject(application.Child(L"Presentations")
                            .Call(L"Open", {_variant_t(path.c_str()), _variant_t(-1L),
                                            _variant_t(0L), _variant_t(0L)}),
                        IID_IDispatch, L"Opened");
}

TEST_F(StandinContract, InsertedSlidesTakeTheDestinationsDesignUntilOneIsPut) {
    const std::wstring square = MakeDeck(L"方.ppt", {"a1\t蓝色", "a2\t绿色"}, "720x540");
    const std::wstring plain = MakeDeck(L"旧格式.ppt", {"b1"});
    const std::wstring out = PathOf(L"out.ppt");
    const LateBound application = FreshApplication();
    const LateBound result =
        ResultObject(application.Child(L"Presentations").Call(L"Add"), IID_IDispatch, L"Result");
    const LateBound slides = result.Child(L"Slides");
    (void)slides.Call(L"InsertFromFile", {_variant_t(square.c_str()), _variant_t(0L)});
    (void)slides.Call(L"InsertFromFile", {_variant_t(plain.c_str()), _variant_t(2L)});
    EXPECT_EQ(Text(Item(slides, 2).Child(L"Design").Get(L"Name")), "Office Theme");

    const LateBound source = OpenReadOnly(application, square);
    const LateBound sourceSize = source.Child(L"PageSetup");
    EXPECT_EQ(Number(sourceSize.Get(L"SlideWidth")), 720.0F);
    EXPECT_EQ(Number(sourceSize.Get(L"SlideHeight")), 540.0F);
    Item(slides, 1).Put(L"Design", Item(source.Child(L"Slides"), 2).Get(L"Design"));
    result.Child(L"PageSetup").Put(L"SlideWidth", sourceSize.Get(L"SlideWidth"));
    (void)result.Call(L"SaveAs", {_variant_t(out.c_str())});

    EXPECT_THAT(ReadDeckLines(out), ElementsAre("FOLIOMIX-STANDIN-DECK 720x540", "a1\t绿色",
                                                "a2\tOffice Theme", "b1\tOffice Theme"));
    EXPECT_THAT(Log(), ::testing::IsSupersetOf(std::vector<std::string>{
                           OpenLine(square, 2), "Slides[2].Item(2) -> Slide[2,2]",
                           "Slide[2,2].Design.get() -> Design[2:\"绿色\"]",
                           "Slide[1,1].Design.put(Design[2:\"绿色\"])",
                           "PageSetup[1].SlideWidth.put(720)"}));
}

TEST_F(StandinContract, OpeningAFileThatIsOpenAlreadyHandsBackThatPresentation) {
    const std::wstring users = MakeDeck(L"用户的.ppt", {"u1\t红色"}, "720x540");
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", users);
    RestartStandin();
    const LateBound application = FreshApplication();
    const LateBound opened = OpenReadOnly(application, users);
    const LateBound presentations = application.Child(L"Presentations");
    EXPECT_EQ(ResultLong(presentations.Get(L"Count"), L"Count"), 1);
    EXPECT_EQ(opened.Identity().Get(), Item(presentations, 1).Identity().Get());
    EXPECT_THAT(Log(), Contains("Engine.Start(presentations=1,alerts=true)"));
    EXPECT_THAT(Log(), Contains(OpenLine(users, 1)));
}

// Property puts the engine refuses by type or range, as a type library would check them.
struct PutCall {
    const char* name;
    const wchar_t* target;  // "SlideWidth", "Design" (of a slide) or "DisplayAlerts"
    _variant_t value;
    bool alertLevels;  // FOLIOMIX_STANDIN_ALERT_LEVELS
    HRESULT expected;
};

void PrintTo(const PutCall& call, std::ostream* out) { *out << call.name; }

class StandinPut : public StandinContract, public ::testing::WithParamInterface<PutCall> {};

TEST_P(StandinPut, ChecksTheValuesTypeAndRange) {
    const PutCall& call = GetParam();
    if (call.alertLevels) {
        Control(L"FOLIOMIX_STANDIN_ALERT_LEVELS", L"1");
        RestartStandin();
        CreateApplication();
    }
    const std::wstring deck = MakeDeck(L"a.ppt", {"s1"});
    const ComPtr<IDispatch> presentation = NewPresentation();
    const ComPtr<IDispatch> slides = Child(presentation.Get(), L"Slides");
    ASSERT_EQ(Raw(slides.Get(), L"InsertFromFile", DISPATCH_METHOD,
                  {_variant_t(0L), _variant_t(deck.c_str())}),
              S_OK);
    _variant_t slide;
    ASSERT_EQ(Raw(slides.Get(), L"Item", DISPATCH_METHOD, {_variant_t(1L)}, false, &slide), S_OK);
    ComPtr<IDispatch> target = app;
    if (std::wstring(call.target) == L"SlideWidth") {
        target = Child(presentation.Get(), L"PageSetup");
    } else if (std::wstring(call.target) == L"Design") {
        target = V_DISPATCH(&slide);
    }
    EXPECT_EQ(Raw(target.Get(), call.target, DISPATCH_PROPERTYPUT, {call.value}, true),
              call.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, StandinPut,
    ::testing::Values(
        PutCall{"WidthAsDouble", L"SlideWidth", _variant_t(720.5), false, S_OK},
        PutCall{"WidthAsBoolean", L"SlideWidth", _variant_t(true), false, DISP_E_TYPEMISMATCH},
        PutCall{"WidthAsText", L"SlideWidth", _variant_t(L"720"), false, DISP_E_TYPEMISMATCH},
        PutCall{"WidthBelowAnInch", L"SlideWidth", _variant_t(10L), false, DISP_E_EXCEPTION},
        PutCall{"DesignAsNumber", L"Design", _variant_t(1L), false, DISP_E_TYPEMISMATCH},
        PutCall{"AlertsAsBoolean", L"DisplayAlerts", _variant_t(false), false, S_OK},
        PutCall{"AlertLevelAsBoolean", L"DisplayAlerts", _variant_t(false), true,
                DISP_E_TYPEMISMATCH},
        PutCall{"AlertLevelNone", L"DisplayAlerts", _variant_t(1L), true, S_OK},
        PutCall{"AlertLevelZero", L"DisplayAlerts", _variant_t(0L), true, DISP_E_EXCEPTION}),
    [](const ::testing::TestParamInfo<PutCall>& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace foliomix::com::testing
