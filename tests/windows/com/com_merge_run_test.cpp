// The merge run of the core on the engine adapter and the stand-in: what each way through the
// run leaves in an engine that the user was already using, and in one the run started alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "merge/merge_run.h"
#include "tests/unit/fake_window.h"
#include "tests/windows/com/standin_test.h"

namespace foliomix::com::testing {
namespace {

using foliomix::testing::CallLog;
using foliomix::testing::FakeWindow;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

class ComMergeRun : public StandinTest {
  protected:
    void GivenFiles(const std::vector<std::vector<std::string>>& decks) {
        for (std::size_t k = 0; k < decks.size(); ++k) {
            const std::wstring path = MakeDeck(L"文件" + std::to_wstring(k) + L".ppt", decks[k]);
            window.rows.emplace_back(path.begin(), path.end());
        }
        out = PathOf(L"合并结果.ppt");
        window.saveAnswers = {{DialogOutcome::Confirmed, std::u16string(out.begin(), out.end())}};
    }

    [[nodiscard]] bool UsersWorkLost() const {
        for (const std::string& line : Log()) {
            if (line.find("Engine.Discarded(Presentation[1],user") != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    CallLog calls;
    FakeWindow window{calls};
    ComPresentationServer server;
    MergeRun run{window, server};
    std::wstring out;
};

TEST_F(ComMergeRun, CompletedRunSavesTheSlidesInListOrderAndEndsItsOwnEngine) {
    GivenFiles({{"一", "二"}, {}, {"三"}});
    EXPECT_EQ(run.Run(), JobOutcome::Completed);
    EXPECT_THAT(ReadDeck(out), ::testing::Optional(ElementsAre("一", "二", "三")));
    EXPECT_THAT(calls, Contains("window.MsgBox(演示文稿合并完成！|恭喜)"));
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 2U);
    EXPECT_EQ(log[log.size() - 2], "Application.Quit()");
    EXPECT_EQ(log.back(), "Engine.End()");
}

// Every way through the run, with the user's unsaved presentation open in the engine: the run
// must neither quit the engine nor close that presentation, and must leave DisplayAlerts as the
// user had it.
struct UserEngineCase {
    const char* name;
    const char* fail;  // FOLIOMIX_STANDIN_FAIL
    JobOutcome outcome;
    bool viaGlobal;   // the failure paths also shut down through the global object
    bool madeOurOwn;  // the run created its presentation (then it must close it)
};

void PrintTo(const UserEngineCase& run, std::ostream* out) { *out << run.name; }

class ComMergeRunWithUserEngine : public ComMergeRun,
                                  public ::testing::WithParamInterface<UserEngineCase> {};

TEST_P(ComMergeRunWithUserEngine, KeepsTheUsersPresentationAndAlerts) {
    const UserEngineCase& param = GetParam();
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    Control(L"FOLIOMIX_STANDIN_FAIL",
            std::wstring(param.fail, param.fail + std::strlen(param.fail)));
    GivenFiles({{"a"}, {"b"}});

    EXPECT_EQ(run.Run(), param.outcome);

    const std::vector<std::string> log = Log();
    EXPECT_FALSE(UsersWorkLost());
    EXPECT_THAT(log, Not(Contains("Application.Quit()")));
    EXPECT_THAT(log, Not(Contains("Presentation[1].Close()")));
    if (param.viaGlobal) {
        EXPECT_THAT(log,
                    IsSupersetOf({"Create(Global)", "Global.Application.get() -> Application"}));
    } else {
        EXPECT_THAT(log, Not(Contains("Create(Global)")));
    }
    if (param.madeOurOwn) {
        EXPECT_THAT(log, Contains("Presentation[2].Close()"));
    }
    Control(L"FOLIOMIX_STANDIN_FAIL", L"");
    EXPECT_EQ(EnginePresentationCount(), 1);
    // The user had alerts on; the run turned them off.
    EXPECT_TRUE(EngineDisplayAlerts());
}

INSTANTIATE_TEST_SUITE_P(
    EveryPath, ComMergeRunWithUserEngine,
    ::testing::Values(
        UserEngineCase{"Completed", "", JobOutcome::Completed, false, true},
        UserEngineCase{"StartFailed", "Application.DisplayAlerts.put#1", JobOutcome::StartFailed,
                       true, false},
        UserEngineCase{"AddFailed", "Presentations.Add", JobOutcome::InsertFailed, true, false},
        UserEngineCase{"InsertFailed", "Slides.InsertFromFile#2", JobOutcome::InsertFailed, true,
                       true},
        UserEngineCase{"SaveFailed", "Presentation.SaveAs", JobOutcome::SaveFailed, true, true},
        // Turning alerts back on fails: the Quit that follows puts them back.
        UserEngineCase{"RestoreFailed", "Application.DisplayAlerts.put#2", JobOutcome::Completed,
                       false, true}),
    [](const ::testing::TestParamInfo<UserEngineCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(ComMergeRun, WindowClosedDuringTheRunLeavesTheUsersEngineAsFound) {
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    GivenFiles({{"a"}, {"b"}});
    window.onProcessEvents = [this](int call) {
        if (call == 3) {  // at the start of the second file
            window.open = false;
        }
    };
    EXPECT_EQ(run.Run(), JobOutcome::Stopped);
    EXPECT_FALSE(UsersWorkLost());
    EXPECT_THAT(Log(),
                IsSupersetOf({"Presentation[2].Close()", "Application.DisplayAlerts.put(true)"}));
    EXPECT_THAT(Log(), Not(Contains("Application.Quit()")));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(out)));
}

TEST_F(ComMergeRun, MergeFailureEndsAnEngineOfItsOwnOnBothShutdownSteps) {
    Control(L"FOLIOMIX_STANDIN_FAIL", L"Slides.InsertFromFile");
    GivenFiles({{"a"}});
    EXPECT_EQ(run.Run(), JobOutcome::InsertFailed);
    EXPECT_THAT(calls, Contains("window.MsgBox(出现未知错误！退出？|合并演示文稿)"));
    // Our engine ends on Quit; the global object then reaches a new one and ends that too.
    const std::vector<std::string> log = Log();
    const auto quit = std::find(log.begin(), log.end(), "Application.Quit()");
    ASSERT_NE(quit, log.end());
    EXPECT_THAT(
        std::vector<std::string>(quit, log.end()),
        ElementsAre("Application.Quit()", "Engine.End()", "Create(Global)",
                    "Engine.Start(presentations=0,alerts=true)",
                    "Global.Application.get() -> Application",
                    "Application.Presentations.get() -> Presentations",
                    "Presentations.Count.get() -> 0", "Application.Quit()", "Engine.End()"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(out)));
}

// An engine that types DisplayAlerts as its alert level and refuses a Boolean: the merge still
// runs, and the user's engine gets back exactly the level it had.
TEST_F(ComMergeRun, AnEngineThatTakesOnlyAlertLevelsMergesAndGetsItsLevelBack) {
    Control(L"FOLIOMIX_STANDIN_ALERT_LEVELS", L"1");
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    GivenFiles({{"一"}, {"二"}});
    EXPECT_EQ(run.Run(), JobOutcome::Completed);
    EXPECT_THAT(ReadDeck(out), ::testing::Optional(ElementsAre("一", "二")));
    EXPECT_THAT(calls, Contains("window.MsgBox(演示文稿合并完成！|恭喜)"));
    EXPECT_THAT(Log(), IsSupersetOf({"Application.DisplayAlerts.get() -> 2",
                                     "Application.DisplayAlerts.put(1)",
                                     "Application.DisplayAlerts.put(2)"}));
    const _variant_t left = FreshApplication().Get(L"DisplayAlerts");
    ASSERT_EQ(V_VT(&left), VT_I4);
    EXPECT_EQ(V_I4(&left), 2);
}

}  // namespace
}  // namespace foliomix::com::testing
