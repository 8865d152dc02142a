// The engine adapter against the stand-in engine: the exact calls it makes, every failure as
// ServerError, and what it leaves in an engine that it shares with the user.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/windows/com/standin_test.h"

namespace foliomix::com::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

std::string Quoted(const std::wstring& path) { return "\"" + Utf8(path) + "\""; }

class ComAdapter : public StandinTest {
  protected:
    ComPresentationServer server;
};

// The calls of one file after the run read the slide count: the file opened on its own (once
// the engine's presentations are known), inserted, its designs put on the inserted slides, and
// closed. `size` holds the size calls when the result is still empty.
std::vector<std::string> FileCalls(const std::wstring& path, int index, int source,
                                   std::vector<std::string> size,
                                   const std::vector<std::string>& designs) {
    const std::string p = "Presentation[" + std::to_string(source) + "]";
    const std::string slides = "Slides[" + std::to_string(source) + "]";
    std::vector<std::string> calls = {"Application.Presentations.get() -> Presentations",
                                      "Presentations.Count.get() -> 1",
                                      "Presentations.Item(1) -> Presentation[1]",
                                      "Presentations.Open(" + Quoted(path) + ",-1,0,0) -> " + p,
                                      "Presentation[1].Slides.get() -> Slides[1]"};
    calls.insert(calls.end(), size.begin(), size.end());
    calls.push_back("Slides[1].InsertFromFile(" + Quoted(path) + "," + std::to_string(index) +
                    ") -> " + std::to_string(designs.size()));
    calls.push_back(p + ".Slides.get() -> " + slides);
    calls.push_back(slides + ".Count.get() -> " + std::to_string(designs.size()));
    for (std::size_t k = 1; k <= designs.size(); ++k) {
        const std::string from = "Slide[" + std::to_string(source) + "," + std::to_string(k) + "]";
        const std::string to =
            "Slide[1," + std::to_string(static_cast<std::size_t>(index) + k) + "]";
        const std::string design =
            "Design[" + std::to_string(source) + ":\"" + designs[k - 1] + "\"]";
        calls.push_back(slides + ".Item(" + std::to_string(k) + ") -> " + from);
        calls.push_back(from + ".Design.get() -> " + design);
        calls.push_back("Slides[1].Item(" + std::to_string(static_cast<std::size_t>(index) + k) +
                        ") -> " + to);
        calls.push_back(to + ".Design.put(" + design + ")");
    }
    calls.push_back(p + ".Close()");
    return calls;
}

TEST_F(ComAdapter, MergeMakesExactlyTheseCallsInThisOrder) {
    const std::wstring a = MakeDeck(L"甲.ppt", {"a1\t蓝色", "a2\t绿色"}, "720x540");
    const std::wstring empty = MakeDeck(L"空.ppt", {}, "720x540");
    const std::wstring b = MakeDeck(L"乙.ppt", {"b1\t红色"});
    const std::wstring out = PathOf(L"合并结果.ppt");

    auto app = server.CreateApplication();
    app->SetDisplayAlerts(false);
    auto result = app->AddPresentation();
    for (const std::wstring& file : {a, empty, b}) {
        const std::int32_t count = result->SlideCount();
        result->InsertFromFile(std::u16string(file.begin(), file.end()), count);
    }
    result->SaveAs(std::u16string(out.begin(), out.end()));
    result.reset();
    app->SetDisplayAlerts(true);
    app->Quit();

    std::vector<std::string> expected = {"Create(Application)",
                                         "Engine.Start(presentations=0,alerts=true)",
                                         "Application.DisplayAlerts.get() -> true",
                                         "Application.DisplayAlerts.put(false)",
                                         "Application.Presentations.get() -> Presentations",
                                         "Presentations.Add() -> Presentation[1]",
                                         "Presentation[1].Slides.get() -> Slides[1]",
                                         "Slides[1].Count.get() -> 0"};
    const auto add = [&expected](const std::vector<std::string>& calls) {
        expected.insert(expected.end(), calls.begin(), calls.end());
    };
    // Only while the result is empty: its slide count confirmed, then the size taken over.
    add(FileCalls(
        a, 0, 2,
        {"Slides[1].Count.get() -> 0", "Presentation[2].PageSetup.get() -> PageSetup[2]",
         "PageSetup[2].SlideWidth.get() -> 720", "PageSetup[2].SlideHeight.get() -> 540",
         "Presentation[1].PageSetup.get() -> PageSetup[1]", "PageSetup[1].SlideWidth.get() -> 960",
         "PageSetup[1].SlideWidth.put(720)", "PageSetup[1].SlideHeight.put(540)"},
        {"蓝色", "绿色"}));
    add({"Presentation[1].Slides.get() -> Slides[1]", "Slides[1].Count.get() -> 2"});
    add(FileCalls(empty, 2, 3, {}, {}));
    add({"Presentation[1].Slides.get() -> Slides[1]", "Slides[1].Count.get() -> 2"});
    add(FileCalls(b, 2, 4, {}, {"红色"}));
    add({"Presentation[1].SaveAs(" + Quoted(out) + ")", "Presentation[1].Close()",
         "Application.DisplayAlerts.put(true)", "Application.Presentations.get() -> Presentations",
         "Presentations.Count.get() -> 0", "Application.Quit()", "Engine.End()"});
    EXPECT_THAT(Log(), ElementsAreArray(expected));
    EXPECT_THAT(ReadDeckLines(out),
                ElementsAre("FOLIOMIX-STANDIN-DECK 720x540", "a1\t蓝色", "a2\t绿色", "b1\t红色"));
}

TEST_F(ComAdapter, InsertsAfterTheGivenSlide) {
    const std::wstring a = MakeDeck(L"a.ppt", {"a1", "a2", "a3"});
    const std::wstring b = MakeDeck(L"b.ppt", {"b1"});
    const std::wstring out = PathOf(L"out.ppt");
    auto app = server.CreateApplication();
    auto result = app->AddPresentation();
    result->InsertFromFile(std::u16string(a.begin(), a.end()), 0);
    result->InsertFromFile(std::u16string(b.begin(), b.end()), 1);
    result->InsertFromFile(std::u16string(b.begin(), b.end()), 0);
    EXPECT_EQ(result->SlideCount(), 5);
    result->SaveAs(std::u16string(out.begin(), out.end()));
    EXPECT_THAT(ReadDeck(out), ::testing::Optional(ElementsAre("b1", "a1", "b1", "a2", "a3")));
}

// A run of slides reaches the engine as SlideStart and SlideEnd, and the slides it brings take
// the designs of exactly those slides of their file.
TEST_F(ComAdapter, ARunOfSlidesIsInsertedFromItsFirstToItsLastWithItsOwnDesigns) {
    const std::wstring a = MakeDeck(L"a.ppt", {"a1\t蓝色", "a2\t绿色", "a3\t红色"});
    const std::u16string file(a.begin(), a.end());
    const std::wstring out = PathOf(L"out.ppt");
    auto app = server.CreateApplication();
    auto result = app->AddPresentation();
    EXPECT_EQ(result->SlideCountOfFile(file), 3);
    result->InsertFromFile(file, 0, {2, 3});
    result->InsertFromFile(file, 2, {1, 1});
    EXPECT_THROW(result->InsertFromFile(file, 3, {3, 4}), ServerError);
    result->SaveAs(std::u16string(out.begin(), out.end()));
    EXPECT_THAT(ReadDeckLines(out),
                ElementsAre("FOLIOMIX-STANDIN-DECK 960x540", "a2\t绿色", "a3\t红色", "a1\t蓝色"));
    EXPECT_THAT(Log(), IsSupersetOf({"Slides[1].InsertFromFile(" + Quoted(a) + ",0,2,3) -> 2",
                                     "Slides[1].InsertFromFile(" + Quoted(a) + ",2,1,1) -> 1"}));
}

TEST_F(ComAdapter, SavesWithTheEnginesFileFormatOfTheFormatNamed) {
    struct Case {
        SaveFormat format;
        const wchar_t* name;
        const char* fileFormat;
    };
    auto app = server.CreateApplication();
    auto result = app->AddPresentation();
    for (const Case& c : {Case{SaveFormat::Presentation97, L"结果.ppt", "1"},
                          Case{SaveFormat::OpenXml, L"结果.pptx", "24"},
                          Case{SaveFormat::OpenDocument, L"结果.odp", "35"},
                          Case{SaveFormat::Pdf, L"结果.pdf", "32"}}) {
        SCOPED_TRACE(c.fileFormat);
        const std::wstring out = PathOf(c.name);
        Mark();
        result->SaveAs(std::u16string(out.begin(), out.end()), c.format);
        EXPECT_THAT(Since(), ElementsAre("Presentation[1].SaveAs(" + Quoted(out) + "," +
                                         c.fileFormat + ")"));
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(out)));
    }
}

// Each engine call made to fail in turn: the adapter operation that makes it throws
// ServerError naming the member and the engine's code.
struct FailingCall {
    const char* rule;     // FOLIOMIX_STANDIN_FAIL
    const char* failing;  // the adapter operation expected to throw
    const char* message;  // part of the ServerError text
};

void PrintTo(const FailingCall& call, std::ostream* out) { *out << call.rule; }

class ComAdapterFailure : public ComAdapter, public ::testing::WithParamInterface<FailingCall> {};

TEST_P(ComAdapterFailure, IsThrownAsServerErrorByTheOperationThatMadeTheCall) {
    const FailingCall& param = GetParam();
    const std::wstring rule(param.rule, param.rule + std::strlen(param.rule));
    Control(L"FOLIOMIX_STANDIN_FAIL", rule);
    const std::wstring in = MakeDeck(L"in.ppt", {"s1"});
    const std::wstring out = PathOf(L"out.ppt");

    std::unique_ptr<ServerApplication> app;
    std::unique_ptr<ServerPresentation> result;
    std::unique_ptr<ServerGlobal> global;
    const std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"CreateApplication", [&] { app = server.CreateApplication(); }},
        {"SetDisplayAlerts(false)", [&] { app->SetDisplayAlerts(false); }},
        {"AddPresentation", [&] { result = app->AddPresentation(); }},
        {"SlideCount", [&] { (void)result->SlideCount(); }},
        {"InsertFromFile",
         [&] { result->InsertFromFile(std::u16string(in.begin(), in.end()), 0); }},
        {"SaveAs", [&] { result->SaveAs(std::u16string(out.begin(), out.end())); }},
        {"SetDisplayAlerts(true)", [&] { app->SetDisplayAlerts(true); }},
        {"Quit",
         [&] {
             result.reset();
             app->Quit();
         }},
        {"CreateGlobal", [&] { global = server.CreateGlobal(); }},
        {"Global.Application.Quit", [&] { global->Application()->Quit(); }},
    };
    bool thrown = false;
    for (const auto& [name, step] : steps) {
        if (name == param.failing) {
            try {
                step();
            } catch (const ServerError& error) {
                thrown = true;
                EXPECT_THAT(error.what(), HasSubstr(param.message));
            }
            break;
        }
        ASSERT_NO_THROW(step()) << name;
    }
    EXPECT_TRUE(thrown) << param.failing << " did not throw";
}

INSTANTIATE_TEST_SUITE_P(
    EveryEngineCall, ComAdapterFailure,
    ::testing::Values(
        FailingCall{"Application.DisplayAlerts.get", "SetDisplayAlerts(false)",
                    "Application.DisplayAlerts failed: 0x80004005 Foliomix stand-in engine: "
                    "injected failure of Application.DisplayAlerts"},
        FailingCall{"Application.DisplayAlerts.put", "SetDisplayAlerts(false)",
                    "Application.DisplayAlerts failed: 0x80004005"},
        FailingCall{"Application.DisplayAlerts.put#2", "SetDisplayAlerts(true)",
                    "Application.DisplayAlerts failed: 0x80004005"},
        FailingCall{"Application.Presentations#1", "AddPresentation",
                    "Application.Presentations failed: 0x80004005"},
        FailingCall{"Presentations.Add", "AddPresentation", "Presentations.Add failed: 0x80004005"},
        FailingCall{"Presentation.Slides", "SlideCount", "Presentation.Slides failed"},
        FailingCall{"Slides.Count", "SlideCount", "Slides.Count failed: 0x80004005"},
        FailingCall{"Slides.InsertFromFile", "InsertFromFile",
                    "Slides.InsertFromFile failed: 0x80004005"},
        FailingCall{"Presentation.SaveAs", "SaveAs", "Presentation.SaveAs failed: 0x80004005"},
        FailingCall{"Application.Quit", "Quit", "Application.Quit failed: 0x80004005"},
        FailingCall{"Presentations.Count", "Quit", "Presentations.Count failed: 0x80004005"},
        FailingCall{"Global.Application", "Global.Application.Quit",
                    "Global.Application failed: 0x80004005"}),
    [](const ::testing::TestParamInfo<FailingCall>& tested) {
        std::string name = tested.param.rule;
        for (char& c : name) {
            if (c == '.' || c == '#') {
                c = '_';
            }
        }
        return name;
    });

// The engine's own failures, not injected ones, reach the caller the same way.
TEST_F(ComAdapter, EngineFailuresOnFilesAreServerErrors) {
    const std::wstring garbled = PathOf(L"garbled.ppt");
    {
        std::ofstream file(std::filesystem::path(garbled), std::ios::binary);
        file << "not a presentation\n";
    }
    auto app = server.CreateApplication();
    auto result = app->AddPresentation();
    const std::wstring missing = PathOf(L"缺少.ppt");
    const std::wstring noFolder = PathOf(L"没有的文件夹\\out.ppt");
    EXPECT_THROW(result->InsertFromFile(std::u16string(missing.begin(), missing.end()), 0),
                 ServerError);
    EXPECT_THROW(result->InsertFromFile(std::u16string(garbled.begin(), garbled.end()), 0),
                 ServerError);
    try {
        result->SaveAs(std::u16string(noFolder.begin(), noFolder.end()));
        ADD_FAILURE() << "SaveAs into a missing folder did not throw";
    } catch (const ServerError& error) {
        EXPECT_THAT(error.what(), HasSubstr("Presentation.SaveAs failed"));
        EXPECT_THAT(error.what(), HasSubstr("cannot write the presentation"));
    }
    EXPECT_EQ(result->SlideCount(), 0);
}

TEST_F(ComAdapter, CallsOnAnEndedEngineAreServerErrors) {
    auto app = server.CreateApplication();
    auto result = app->AddPresentation();
    auto second = server.CreateApplication();
    Control(L"FOLIOMIX_STANDIN_FAIL", L"Presentation.Close");  // ours stays open...
    result.reset();
    Control(L"FOLIOMIX_STANDIN_FAIL", L"");
    // ...so Quit closes it first, and the engine ends.
    app->Quit();
    EXPECT_THAT(Log(), Contains("Engine.End()"));
    try {
        second->SetDisplayAlerts(false);
        ADD_FAILURE() << "no failure on an ended engine";
    } catch (const ServerError& error) {
        EXPECT_THAT(error.what(), HasSubstr("0x80010108"));
    }
}

// ---- the shared engine ---------------------------------------------------------------------

TEST_F(ComAdapter, QuitLeavesAnEngineThatHoldsTheUsersPresentationRunning) {
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    const std::wstring in = MakeDeck(L"in.ppt", {"s1"});
    auto app = server.CreateApplication();
    app->SetDisplayAlerts(false);
    auto result = app->AddPresentation();
    result->InsertFromFile(std::u16string(in.begin(), in.end()), 0);
    result.reset();
    app->Quit();

    const std::vector<std::string> log = Log();
    EXPECT_THAT(log, IsSupersetOf({"Engine.Start(presentations=1,alerts=true)",
                                   "Presentations.Add() -> Presentation[2]",
                                   "Presentation[2].Close()", "Presentations.Count.get() -> 1"}));
    EXPECT_THAT(log, Not(Contains("Application.Quit()")));
    EXPECT_THAT(log, Not(Contains("Presentation[1].Close()")));
    EXPECT_THAT(log, Not(Contains(HasSubstr("Engine.Discarded"))));
    EXPECT_EQ(EnginePresentationCount(), 1);
}

TEST_F(ComAdapter, GlobalQuitLeavesAnEngineThatHoldsTheUsersPresentationRunning) {
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    auto global = server.CreateGlobal();
    Mark();
    global->Application()->Quit();
    EXPECT_THAT(Since(), ElementsAre("Engine.Start(presentations=1,alerts=true)",
                                     "Global.Application.get() -> Application",
                                     "Application.Presentations.get() -> Presentations",
                                     "Presentations.Count.get() -> 1"));
    EXPECT_EQ(EnginePresentationCount(), 1);
}

TEST_F(ComAdapter, QuitClosesOurStillOpenPresentationBeforeCountingThemAndEndsTheEngine) {
    auto app = server.CreateApplication();
    auto result = app->AddPresentation();
    Mark();
    app->Quit();  // `result` is still held: its presentation is closed by Quit
    EXPECT_THAT(
        Since(),
        ElementsAre("Presentation[1].Close()", "Application.Presentations.get() -> Presentations",
                    "Presentations.Count.get() -> 0", "Application.Quit()", "Engine.End()"));
    Mark();
    result.reset();  // already closed: nothing more is sent
    EXPECT_THAT(Since(), ElementsAre());
}

TEST_F(ComAdapter, GlobalQuitClosesOurPresentationsToo) {
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    auto app = server.CreateApplication();
    auto result = app->AddPresentation();
    auto global = server.CreateGlobal();
    Mark();
    global->Application()->Quit();
    EXPECT_THAT(Since(),
                ElementsAre("Global.Application.get() -> Application", "Presentation[2].Close()",
                            "Application.Presentations.get() -> Presentations",
                            "Presentations.Count.get() -> 1"));
}

// A close that fails leaves our presentation in the engine. Quit reports that failure and ends
// the engine only when everything it holds is ours: an engine that holds any other presentation,
// or whose content cannot be read, keeps running.
struct LeftoverCase {
    const char* name;
    bool userPresentation;              // the engine starts with the user's Presentation[1]
    int ours;                           // presentations the adapter creates
    std::vector<long> closedElsewhere;  // Item indexes another client closes, in this order
    int addedElsewhere;                 // presentations another client creates after ours
    const char* fail;                   // FOLIOMIX_STANDIN_FAIL while ours are released and quit
    std::vector<std::string> quit;      // the log of Quit
    long left;                          // presentations the kept engine holds; -1: it ended
};

void PrintTo(const LeftoverCase& leftover, std::ostream* out) { *out << leftover.name; }

class ComAdapterLeftovers : public ComAdapter,
                            public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(ComAdapterLeftovers, QuitEndsOnlyAnEngineHoldingNothingButOurs) {
    const LeftoverCase& param = GetParam();
    if (param.userPresentation) {
        Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    }
    auto app = server.CreateApplication();
    std::vector<std::unique_ptr<ServerPresentation>> made;
    for (int k = 0; k < param.ours; ++k) {
        made.push_back(app->AddPresentation());
    }
    const LateBound other = FreshApplication();
    for (const long index : param.closedElsewhere) {
        ResultObject(other.Child(L"Presentations").Call(L"Item", {_variant_t(index)}),
                     IID_IDispatch, L"Presentation")
            .Call(L"Close");
    }
    for (int k = 0; k < param.addedElsewhere; ++k) {
        (void)other.Child(L"Presentations").Call(L"Add");
    }
    Control(L"FOLIOMIX_STANDIN_FAIL",
            std::wstring(param.fail, param.fail + std::strlen(param.fail)));
    made.clear();  // the failures cannot be thrown from here
    Mark();
    try {
        app->Quit();
        ADD_FAILURE() << "the failed close was not reported";
    } catch (const ServerError& error) {
        EXPECT_THAT(error.what(), HasSubstr("Presentation.Close failed"));
    }
    EXPECT_THAT(Since(), ElementsAreArray(param.quit));
    EXPECT_THAT(Log(), Not(Contains(HasSubstr(",user,"))));
    if (param.left >= 0) {
        Control(L"FOLIOMIX_STANDIN_FAIL", L"");
        EXPECT_EQ(EnginePresentationCount(), param.left);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryLeftover, ComAdapterLeftovers,
    ::testing::Values(
        LeftoverCase{
            "OurLeftoverAlone",
            false,
            1,
            {},
            0,
            "Presentation.Close",
            {"Presentation[1].Close() -> FAILED 0x80004005",
             "Application.Presentations.get() -> Presentations", "Presentations.Count.get() -> 1",
             "Presentations.Item(1) -> Presentation[1]", "Application.Quit()",
             "Engine.Discarded(Presentation[1],automation,unsaved)", "Engine.End()"},
            -1},
        LeftoverCase{
            "TwoOfOurLeftovers",
            false,
            2,
            {},
            0,
            "Presentation.Close",
            {"Presentation[1].Close() -> FAILED 0x80004005",
             "Presentation[2].Close() -> FAILED 0x80004005",
             "Application.Presentations.get() -> Presentations", "Presentations.Count.get() -> 2",
             "Presentations.Item(1) -> Presentation[1]", "Presentations.Item(2) -> Presentation[2]",
             "Application.Quit()", "Engine.Discarded(Presentation[1],automation,unsaved)",
             "Engine.Discarded(Presentation[2],automation,unsaved)", "Engine.End()"},
            -1},
        LeftoverCase{
            "OurLeftoverBesideTheUsersPresentation",
            true,
            1,
            {},
            0,
            "Presentation.Close",
            {"Presentation[2].Close() -> FAILED 0x80004005",
             "Application.Presentations.get() -> Presentations", "Presentations.Count.get() -> 2"},
            2},
        // Ours was closed behind our back, so our close fails and the count alone would match
        // what we still track: only the identity shows that the one left is the user's.
        LeftoverCase{"OursClosedElsewhereTheUsersLeft",
                     true,
                     1,
                     {2},
                     0,
                     "",
                     {"Presentation[2].Close() -> FAILED 0x80004005",
                      "Application.Presentations.get() -> Presentations",
                      "Presentations.Count.get() -> 1", "Presentations.Item(1) -> Presentation[1]"},
                     1},
        // Every presentation is looked at, not the first one only.
        LeftoverCase{"OursFirstThenAnotherClients",
                     false,
                     2,
                     {2},
                     1,
                     "Presentation.Close",
                     {"Presentation[1].Close() -> FAILED 0x80004005",
                      "Presentation[2].Close() -> FAILED 0x80004005",
                      "Application.Presentations.get() -> Presentations",
                      "Presentations.Count.get() -> 2", "Presentations.Item(1) -> Presentation[1]",
                      "Presentations.Item(2) -> Presentation[3]"},
                     2},
        LeftoverCase{
            "ItemUnreadable",
            false,
            1,
            {},
            0,
            "Presentation.Close,Presentations.Item",
            {"Presentation[1].Close() -> FAILED 0x80004005",
             "Application.Presentations.get() -> Presentations", "Presentations.Count.get() -> 1",
             "Presentations.Item(1) -> FAILED 0x80004005"},
            1},
        LeftoverCase{"CountUnreadable",
                     false,
                     1,
                     {},
                     0,
                     "Presentation.Close,Presentations.Count",
                     {"Presentation[1].Close() -> FAILED 0x80004005",
                      "Application.Presentations.get() -> Presentations",
                      "Presentations.Count.get() -> FAILED 0x80004005"},
                     1}),
    [](const ::testing::TestParamInfo<LeftoverCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(ComAdapter, OurLeftoverEndsWithTheEngineAndIsNotClosedAgain) {
    auto app = server.CreateApplication();
    auto result = app->AddPresentation();
    Control(L"FOLIOMIX_STANDIN_FAIL", L"Presentation.Close");
    EXPECT_THROW(app->Quit(), ServerError);
    EXPECT_THAT(Log(), Contains("Engine.End()"));
    Control(L"FOLIOMIX_STANDIN_FAIL", L"");
    Mark();
    result.reset();  // it went with the engine: nothing is sent to the ended engine
    auto global = server.CreateGlobal();
    global->Application()->Quit();  // a new, empty engine: nothing of ours in it
    EXPECT_THAT(Since(), ElementsAre("Create(Global)", "Engine.Start(presentations=0,alerts=true)",
                                     "Global.Application.get() -> Application",
                                     "Application.Presentations.get() -> Presentations",
                                     "Presentations.Count.get() -> 0", "Application.Quit()",
                                     "Engine.End()"));
}

TEST_F(ComAdapter, WithoutThePresentationCountTheEngineIsNotQuit) {
    auto app = server.CreateApplication();
    Control(L"FOLIOMIX_STANDIN_FAIL", L"Presentations.Count");
    EXPECT_THROW(app->Quit(), ServerError);
    EXPECT_THAT(Log(), Not(Contains("Application.Quit()")));
}

// DisplayAlerts as the user had it, whatever path the run takes to its end.
struct AlertsCase {
    const char* name;
    bool found;  // the engine's value before the run
    std::function<void(ServerApplication&, ServerGlobal&)> finish;  // after turning them off
    std::vector<std::string> puts;  // every DisplayAlerts put, in order
};

void PrintTo(const AlertsCase& alerts, std::ostream* out) { *out << alerts.name; }

class ComAdapterAlerts : public ComAdapter, public ::testing::WithParamInterface<AlertsCase> {};

TEST_P(ComAdapterAlerts, ArePutBackAsFound) {
    const AlertsCase& param = GetParam();
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    Control(L"FOLIOMIX_STANDIN_DISPLAY_ALERTS", param.found ? L"true" : L"false");
    auto app = server.CreateApplication();
    auto global = server.CreateGlobal();
    app->SetDisplayAlerts(false);
    param.finish(*app, *global);

    std::vector<std::string> puts;
    for (const std::string& line : Log()) {
        if (line.find("DisplayAlerts.put") != std::string::npos) {
            puts.push_back(line);
        }
    }
    EXPECT_THAT(puts, ElementsAreArray(param.puts));
    EXPECT_EQ(EngineDisplayAlerts(), param.found);
}

const auto kTurnedOnThenQuit = [](ServerApplication& app, ServerGlobal&) {
    app.SetDisplayAlerts(true);
    app.Quit();
};
const auto kQuitOnly = [](ServerApplication& app, ServerGlobal&) { app.Quit(); };
const auto kQuitThenGlobalQuit = [](ServerApplication& app, ServerGlobal& global) {
    app.Quit();
    global.Application()->Quit();
};
const auto kGlobalQuitOnly = [](ServerApplication&, ServerGlobal& global) {
    global.Application()->Quit();
};

INSTANTIATE_TEST_SUITE_P(
    EveryEnd, ComAdapterAlerts,
    ::testing::Values(
        AlertsCase{"OnFoundTrue_TurnedOnThenQuit",
                   true,
                   kTurnedOnThenQuit,
                   {"Application.DisplayAlerts.put(false)", "Application.DisplayAlerts.put(true)"}},
        AlertsCase{
            "OnFoundFalse_TurnedOnThenQuit",
            false,
            kTurnedOnThenQuit,
            {"Application.DisplayAlerts.put(false)", "Application.DisplayAlerts.put(false)"}},
        AlertsCase{"OnFoundTrue_QuitOnly",
                   true,
                   kQuitOnly,
                   {"Application.DisplayAlerts.put(false)", "Application.DisplayAlerts.put(true)"}},
        AlertsCase{"OnFoundTrue_QuitThenGlobalQuit",
                   true,
                   kQuitThenGlobalQuit,
                   {"Application.DisplayAlerts.put(false)", "Application.DisplayAlerts.put(true)"}},
        AlertsCase{"OnFoundTrue_GlobalQuitOnly",
                   true,
                   kGlobalQuitOnly,
                   {"Application.DisplayAlerts.put(false)", "Application.DisplayAlerts.put(true)"}},
        AlertsCase{
            "OnFoundFalse_GlobalQuitOnly",
            false,
            kGlobalQuitOnly,
            {"Application.DisplayAlerts.put(false)", "Application.DisplayAlerts.put(false)"}}),
    [](const ::testing::TestParamInfo<AlertsCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(ComAdapter, TurningAlertsOnWithoutTurningThemOffPutsTrue) {
    auto app = server.CreateApplication();
    app->SetDisplayAlerts(true);
    EXPECT_THAT(Log(), Contains("Application.DisplayAlerts.put(true)"));
    EXPECT_THAT(Log(), Not(Contains("Application.DisplayAlerts.get() -> true")));
}

TEST_F(ComAdapter, TheFoundValueIsReadOnceAndSurvivesASecondTurnOff) {
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    auto app = server.CreateApplication();
    app->SetDisplayAlerts(false);
    app->SetDisplayAlerts(false);
    app->Quit();
    int gets = 0;
    for (const std::string& line : Log()) {
        gets += line.rfind("Application.DisplayAlerts.get()", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(gets, 1);
    EXPECT_TRUE(EngineDisplayAlerts());
}

}  // namespace
}  // namespace foliomix::com::testing
