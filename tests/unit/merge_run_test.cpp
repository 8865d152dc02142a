#include "merge/merge_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>

#include "tests/support/files.h"
#include "tests/support/folders.h"
#include "tests/unit/fake_server.h"
#include "tests/unit/fake_window.h"

namespace foliomix::testing {
namespace {

using design::ControlId;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Not;

constexpr const char* kFailureMsg = "window.MsgBox(出现未知错误！退出？|合并演示文稿)";

class MergeRunTest : public ::testing::Test {
  protected:
    // n files "f0.ppt".. with slides "fK.s0"..; file K holds K % 3 slides.
    void GivenFiles(int n) {
        for (int k = 0; k < n; ++k) {
            const std::string name = "C:\\d\\f" + std::to_string(k) + ".ppt";
            std::vector<std::string> slides;
            slides.reserve(static_cast<std::size_t>(k % 3));
            for (int s = 0; s < k % 3; ++s) {
                slides.push_back("f" + std::to_string(k) + ".s" + std::to_string(s));
            }
            std::u16string path(name.begin(), name.end());
            server.files[path] = slides;
            window.rows.push_back(path);
        }
        window.enabled[0] = false;
        window.enabled[1] = window.enabled[2] = window.enabled[3] = true;
        window.saveAnswers = {{DialogOutcome::Confirmed, u"C:\\out\\合并结果.ppt"}};
    }

    std::vector<std::string> ExpectedSlides(int n) const {
        std::vector<std::string> slides;
        for (int k = 0; k < n; ++k) {
            for (int s = 0; s < k % 3; ++s) {
                slides.push_back("f" + std::to_string(k) + ".s" + std::to_string(s));
            }
        }
        return slides;
    }

    void ExpectAllButtonsDisabled() const {
        for (ControlId b :
             {ControlId::cmdAdd, ControlId::cmdUp, ControlId::cmdDown, ControlId::cmdMerge}) {
            EXPECT_FALSE(window.Enabled(b)) << design::Control(b).name;
        }
    }

    CallLog log;
    FakeWindow window{log};
    FakeServer server{log};
    MergeRun run{window, server};
};

class FullRun : public MergeRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(FullRun, LogsTheExactSequenceAndSavesEverySlideInListOrder) {
    const int n = GetParam();
    GivenFiles(n);

    EXPECT_EQ(run.Run(), JobOutcome::Completed);

    std::vector<std::string> expected = {"window.sfd.ShowSave",
                                         "window.sfd.FileName",
                                         "window.cmdUp.Enabled=false",
                                         "window.cmdDown.Enabled=false",
                                         "window.cmdMerge.Enabled=false",
                                         "window.SimpleText=正在准备合并演示文稿…",
                                         "window.DoEvents",
                                         "server.CreateApplication",
                                         "server.app.DisplayAlerts=false",
                                         "server.app.Presentations.Add",
                                         "window.ListCount"};
    int slidesSoFar = 0;
    for (int k = 0; k < n; ++k) {
        expected.emplace_back("window.DoEvents");
        expected.emplace_back("server.pres.SlideCount");
        expected.push_back("window.List(" + std::to_string(k) + ")");
        expected.push_back("server.pres.InsertFromFile(C:\\d\\f" + std::to_string(k) + ".ppt," +
                           std::to_string(slidesSoFar) + ")");
        expected.push_back("window.SimpleText=正在合并演示文稿…" + std::to_string(k + 1) +
                           "个已完成！");
        slidesSoFar += k % 3;
    }
    for (const char* tail :
         {"server.pres.SaveAs(C:\\out\\合并结果.ppt)", "server.pres.Release",
          "server.app.DisplayAlerts=true", "server.app.Quit",
          "window.SimpleText=演示文稿合并完成！", "window.MsgBox(演示文稿合并完成！|恭喜)"}) {
        expected.emplace_back(tail);
    }
    EXPECT_THAT(log, ElementsAreArray(expected));
    EXPECT_THAT(server.saved[u"C:\\out\\合并结果.ppt"], ElementsAreArray(ExpectedSlides(n)));
    ExpectAllButtonsDisabled();
    EXPECT_EQ(window.statusText, u"演示文稿合并完成！");
    EXPECT_EQ(run.SavePath(), u"C:\\out\\合并结果.ppt");
    // The application object stays held by the window; the presentation was released.
    EXPECT_EQ(server.liveApplications, 1);
    EXPECT_EQ(server.liveReferences, 1);
}

INSTANTIATE_TEST_SUITE_P(FileCounts, FullRun, ::testing::Values(0, 1, 3, 10));

// An engine that cannot replace a file safely by itself writes beside the chosen one, which
// then holds the result and nothing of ours is left; the sequence is otherwise the same.
TEST_F(MergeRunTest, AnEngineThatCannotSaveInPlaceSafelyWritesBesideTheChosenFile) {
    const ScratchFolder scratch;
    const std::filesystem::path chosen = scratch.Path() / "合并结果.ppt";
    GivenFiles(3);
    window.saveAnswers = {{DialogOutcome::Confirmed, chosen.u16string()}};
    std::ofstream(chosen) << "old";
    server.savesSafelyInPlace = false;
    server.writesFiles = true;
    EXPECT_EQ(run.Run(), JobOutcome::Completed);
    EXPECT_EQ(FileBytesIfAny(chosen), "f1.s0\nf2.s0\nf2.s1\n");
    EXPECT_EQ(NamesIn(scratch.Path()), std::vector<std::string>{"合并结果.ppt"});
    const std::string staged = (scratch.Path() / ".foliomix-save-").string();
    EXPECT_THAT(log, Contains(::testing::StartsWith("server.pres.SaveAs(" + staged)));
    EXPECT_THAT(log, Contains("window.MsgBox(演示文稿合并完成！|恭喜)"));
}

TEST_F(MergeRunTest, CancelledSaveDialogTouchesNothingAndCanBeRepeated) {
    GivenFiles(2);
    window.saveAnswers = {{DialogOutcome::Cancelled, u""}, {DialogOutcome::Cancelled, u""}};
    EXPECT_EQ(run.Run(), JobOutcome::Cancelled);
    EXPECT_EQ(run.Run(), JobOutcome::Cancelled);
    EXPECT_THAT(log, ElementsAre("window.sfd.ShowSave", "window.sfd.ShowSave"));
    EXPECT_TRUE(window.Enabled(ControlId::cmdMerge));
    EXPECT_EQ(window.statusText, u"就绪");
}

struct StartFailureCase {
    const char* failing;
    std::vector<std::string> afterBox;  // the server shutdown, when the app object exists
};

class StartFailure : public MergeRunTest, public ::testing::WithParamInterface<StartFailureCase> {};

TEST_P(StartFailure, ShowsNotInstalledAndCreatesNoPresentation) {
    GivenFiles(2);
    server.failing = {GetParam().failing};
    EXPECT_EQ(run.Run(), JobOutcome::StartFailed);

    const auto box = std::find(log.begin(), log.end(),
                               "window.MsgBox(出错，系统没有安装 MS PowerPoint|合并演示文稿)");
    ASSERT_NE(box, log.end());
    EXPECT_EQ(*(box - 1), "window.Beep");
    EXPECT_THAT(std::vector<std::string>(box + 1, log.end()),
                ElementsAreArray(GetParam().afterBox));
    EXPECT_THAT(log, Not(Contains("server.app.Presentations.Add")));
    EXPECT_EQ(window.statusText, u"正在准备合并演示文稿…");
    ExpectAllButtonsDisabled();
    // The app and the global object that ended the engine, or none.
    EXPECT_EQ(server.liveGlobals, server.liveApplications);
    EXPECT_EQ(server.liveReferences, server.liveApplications + server.liveGlobals);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, StartFailure,
    ::testing::Values(StartFailureCase{"CreateApplication", {}},
                      StartFailureCase{"app.DisplayAlerts=false",
                                       {"server.app.Quit", "server.CreateGlobal",
                                        "server.global.Application", "server.globalApp.Quit"}}));

TEST_F(MergeRunTest, StartFailureMessageNamesTheEdition) {
    GivenFiles(1);
    server.displayName = u"LibreOffice Impress";
    server.failing = {"CreateApplication"};
    run.Run();
    EXPECT_THAT(log,
                Contains("window.MsgBox(出错，系统没有安装 LibreOffice Impress|合并演示文稿)"));
}

struct MergeFailureCase {
    const char* failing;
    const char* lastStatus;
};

class MergeFailure : public MergeRunTest, public ::testing::WithParamInterface<MergeFailureCase> {};

TEST_P(MergeFailure, ReportsAfterTheLoopShutsDownAndSavesNothing) {
    GivenFiles(3);
    server.failing = {GetParam().failing};
    EXPECT_EQ(run.Run(), JobOutcome::InsertFailed);

    const auto box = std::find(log.begin(), log.end(), kFailureMsg);
    ASSERT_NE(box, log.end());
    EXPECT_EQ(*(box - 1), "window.Beep");
    // A result that was created is released before the engine is told to end.
    if (std::string(GetParam().failing) != "app.Presentations.Add") {
        EXPECT_EQ(*(box - 2), "server.pres.Release");
    }
    EXPECT_THAT(std::vector<std::string>(box + 1, log.end()),
                ElementsAre("server.app.Quit", "server.CreateGlobal", "server.global.Application",
                            "server.globalApp.Quit"));
    EXPECT_TRUE(server.saved.empty());
    EXPECT_EQ(Utf8(window.statusText), GetParam().lastStatus);
    ExpectAllButtonsDisabled();
    EXPECT_EQ(server.liveReferences, 2);  // the held application and global objects
}

INSTANTIATE_TEST_SUITE_P(
    Steps, MergeFailure,
    ::testing::Values(MergeFailureCase{"app.Presentations.Add", "正在准备合并演示文稿…"},
                      MergeFailureCase{"pres.SlideCount#1", "正在准备合并演示文稿…"},
                      MergeFailureCase{"pres.InsertFromFile#1", "正在准备合并演示文稿…"},
                      MergeFailureCase{"pres.SlideCount#2", "正在合并演示文稿…1个已完成！"},
                      MergeFailureCase{"pres.InsertFromFile#3", "正在合并演示文稿…2个已完成！"}));

TEST_F(MergeRunTest, NoFileIsTriedAfterAFailedInsert) {
    GivenFiles(3);
    server.failing = {"pres.InsertFromFile#2"};
    run.Run();
    EXPECT_THAT(log, Not(Contains("window.List(2)")));
}

TEST_F(MergeRunTest, ShutdownTriesTheGlobalObjectWhenQuitFails) {
    GivenFiles(1);
    server.failing = {"pres.InsertFromFile", "app.Quit"};
    run.Run();
    EXPECT_THAT(log, Contains("server.globalApp.Quit"));
    EXPECT_EQ(server.liveGlobals, 1);
}

TEST_F(MergeRunTest, TheGlobalObjectIsCreatedOnceAndKept) {
    GivenFiles(1);
    window.saveAnswers.push_back(window.saveAnswers.front());
    server.failing = {"pres.InsertFromFile"};
    EXPECT_EQ(run.Run(), JobOutcome::InsertFailed);
    EXPECT_EQ(run.Run(), JobOutcome::InsertFailed);
    EXPECT_EQ(std::count(log.begin(), log.end(), "server.CreateGlobal"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "server.globalApp.Quit"), 2);
}

// Each call of the server shutdown failing in turn: the rest is still tried where it can be,
// and the run ends with the outcome the user was shown.
struct ShutdownFailureCase {
    const char* failing;
    std::vector<std::string> shutdown;
};

class ShutdownFailure : public MergeRunTest,
                        public ::testing::WithParamInterface<ShutdownFailureCase> {};

TEST_P(ShutdownFailure, EndsTheRunNormally) {
    GivenFiles(2);
    server.failing = {"pres.InsertFromFile", GetParam().failing};
    EXPECT_EQ(run.Run(), JobOutcome::InsertFailed);
    const auto box = std::find(log.begin(), log.end(), kFailureMsg);
    ASSERT_NE(box, log.end());
    EXPECT_THAT(std::vector<std::string>(box + 1, log.end()),
                ElementsAreArray(GetParam().shutdown));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ShutdownFailure,
    ::testing::Values(ShutdownFailureCase{"app.Quit",
                                          {"server.app.Quit", "server.CreateGlobal",
                                           "server.global.Application", "server.globalApp.Quit"}},
                      ShutdownFailureCase{"CreateGlobal",
                                          {"server.app.Quit", "server.CreateGlobal"}},
                      ShutdownFailureCase{
                          "global.Application",
                          {"server.app.Quit", "server.CreateGlobal", "server.global.Application"}},
                      ShutdownFailureCase{"globalApp.Quit",
                                          {"server.app.Quit", "server.CreateGlobal",
                                           "server.global.Application", "server.globalApp.Quit"}}));

TEST_F(MergeRunTest, SaveFailureIsReportedNotAnnounced) {
    GivenFiles(2);
    server.failing = {"pres.SaveAs"};
    EXPECT_EQ(run.Run(), JobOutcome::SaveFailed);
    const auto box =
        std::find(log.begin(), log.end(), "window.MsgBox(合并结果保存失败！|合并演示文稿)");
    ASSERT_NE(box, log.end());
    EXPECT_EQ(*(box - 1), "window.Beep");
    EXPECT_THAT(std::vector<std::string>(box + 1, log.end()),
                ElementsAre("server.app.Quit", "server.CreateGlobal", "server.global.Application",
                            "server.globalApp.Quit"));
    EXPECT_EQ(window.statusText, u"正在合并演示文稿…2个已完成！");
    EXPECT_THAT(log, Not(Contains("window.MsgBox(演示文稿合并完成！|恭喜)")));
}

TEST_F(MergeRunTest, FailuresAfterASuccessfulSaveStillComplete) {
    for (const char* failing : {"app.DisplayAlerts=true", "app.Quit"}) {
        log.clear();
        FakeWindow w(log);
        FakeServer s(log);
        MergeRun r(w, s);
        w.saveAnswers = {{DialogOutcome::Confirmed, u"C:\\o.ppt"}};
        s.failing = {failing};
        EXPECT_EQ(r.Run(), JobOutcome::Completed) << failing;
        EXPECT_THAT(log, Contains("server.app.Quit")) << failing;
        EXPECT_EQ(log.back(), "window.MsgBox(演示文稿合并完成！|恭喜)") << failing;
        EXPECT_EQ(w.statusText, u"演示文稿合并完成！");
    }
}

TEST_F(MergeRunTest, WindowClosedBeforeTheServerStartsStartsNothing) {
    GivenFiles(2);
    window.onProcessEvents = [&](int) { window.open = false; };
    EXPECT_EQ(run.Run(), JobOutcome::Stopped);
    EXPECT_EQ(window.touchedAfterClose, 0);
    EXPECT_THAT(log, Not(Contains("server.CreateApplication")));
}

class WindowClosedDuringPass : public MergeRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(WindowClosedDuringPass, ShutsTheServerDownAndTouchesTheWindowNoMore) {
    GivenFiles(3);
    const int closeAt = GetParam();  // event point number: 2 is the first pass
    window.onProcessEvents = [&](int call) {
        if (call == closeAt) {
            window.open = false;
        }
    };
    EXPECT_EQ(run.Run(), JobOutcome::Stopped);
    EXPECT_EQ(window.touchedAfterClose, 0);
    EXPECT_THAT(std::vector<std::string>(log.end() - 4, log.end()),
                ElementsAre("server.app.Quit", "server.CreateGlobal", "server.global.Application",
                            "server.globalApp.Quit"));
    EXPECT_TRUE(server.saved.empty());
    EXPECT_EQ(server.liveReferences, 2);
}

INSTANTIATE_TEST_SUITE_P(EventPoints, WindowClosedDuringPass, ::testing::Values(2, 3, 4));

// The window closed while the engine works: an engine call can let the window handle its
// messages, so the close arrives between two calls of the run rather than at an event point.
struct ClosedDuringCallCase {
    const char* name;
    const char* call;     // the engine call during which the user closes the window
    const char* failing;  // an engine call that fails as well, or ""
    JobOutcome outcome;
    bool saved;
};

void PrintTo(const ClosedDuringCallCase& c, std::ostream* out) { *out << c.name; }

class WindowClosedDuringCall : public MergeRunTest,
                               public ::testing::WithParamInterface<ClosedDuringCallCase> {};

TEST_P(WindowClosedDuringCall, TheWindowIsNotTouchedAgainAndTheEngineEnds) {
    const ClosedDuringCallCase& c = GetParam();
    GivenFiles(3);
    if (*c.failing != '\0') {
        server.failing = {c.failing};
    }
    server.onCall = [&](const std::string& call) {
        if (call == c.call) {
            window.open = false;
        }
    };
    EXPECT_EQ(run.Run(), c.outcome);
    EXPECT_EQ(window.touchedAfterClose, 0);
    EXPECT_EQ(!server.saved.empty(), c.saved);
    // Whatever was created is released and the engine is told to end.
    EXPECT_EQ(server.livePresentations, 0);
    EXPECT_LE(server.liveApplications, 1);
    EXPECT_LE(server.liveGlobals, 1);
    if (server.liveApplications == 1) {
        EXPECT_THAT(log, Contains("server.app.Quit"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calls, WindowClosedDuringCall,
    ::testing::Values(
        ClosedDuringCallCase{"Start", "CreateApplication", "", JobOutcome::Stopped, false},
        ClosedDuringCallCase{"StartThatFails", "CreateApplication", "CreateApplication",
                             JobOutcome::StartFailed, false},
        ClosedDuringCallCase{"Alerts", "app.DisplayAlerts=false", "", JobOutcome::Stopped, false},
        ClosedDuringCallCase{"NewPresentation", "app.Presentations.Add", "", JobOutcome::Stopped,
                             false},
        ClosedDuringCallCase{"SlideCount", "pres.SlideCount", "", JobOutcome::Stopped, false},
        ClosedDuringCallCase{"LastInsert", "pres.InsertFromFile", "", JobOutcome::Stopped, false},
        ClosedDuringCallCase{"InsertThatFails", "pres.InsertFromFile", "pres.InsertFromFile",
                             JobOutcome::Stopped, false},
        ClosedDuringCallCase{"Save", "pres.SaveAs", "", JobOutcome::Completed, true},
        ClosedDuringCallCase{"SaveThatFails", "pres.SaveAs", "pres.SaveAs", JobOutcome::SaveFailed,
                             false}),
    [](const ::testing::TestParamInfo<ClosedDuringCallCase>& param) { return param.param.name; });

TEST_F(MergeRunTest, AWindowThatThrowsEndsTheRunAfterTheEngine) {
    for (const char* call : {"ListCount", "List", "SimpleText", "Beep", "MsgBox"}) {
        SCOPED_TRACE(call);
        log.clear();
        FakeWindow w(log);
        FakeServer s(log);
        MergeRun r(w, s);
        w.rows = {u"C:\\a.ppt"};
        w.saveAnswers = {{DialogOutcome::Confirmed, u"C:\\o.ppt"}};
        s.files[u"C:\\a.ppt"] = {"a1"};
        if (std::string(call) == "Beep") {
            s.failing = {"pres.SaveAs"};  // the save failure path beeps
        }
        // The preparing text is set before the engine starts; only later ones throw.
        w.onProcessEvents = [&](int) { w.throwing = {call}; };
        EXPECT_THROW(r.Run(), std::runtime_error);
        EXPECT_THAT(log, Contains("server.app.Quit"));
        EXPECT_EQ(log.back(), "server.globalApp.Quit");
        EXPECT_EQ(s.liveReferences, 2);  // the held application and global objects only
    }
}

TEST(ProgressText, WritesPlainDecimalDigits) {
    EXPECT_EQ(ProgressText(1), u"正在合并演示文稿…1个已完成！");
    EXPECT_EQ(ProgressText(10), u"正在合并演示文稿…10个已完成！");
    EXPECT_EQ(ProgressText(1234), u"正在合并演示文稿…1234个已完成！");
}

}  // namespace
}  // namespace foliomix::testing
