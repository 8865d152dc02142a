// Engine calls pending in COM's modal loop. The stand-in lives in another apartment here, so
// every call is marshalled and its caller waits in the modal loop, which consults the
// apartment's message filter, as with the real engine in its own process. A call the stand-in
// blocks is cancelled when the user closes the window or when it passes the call limit
// (shortened here); the run then takes the path of any failed call, and a user's engine goes on.
// Wine's modal loop goes on waiting for a cancelled call until the engine answers, and only then
// fails it with RPC_E_CALL_CANCELED: every block here ends after a bounded time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "merge/merge_run.h"
#include "tests/unit/fake_window.h"
#include "tests/windows/com/standin_test.h"

namespace foliomix::com::testing {
namespace {

using foliomix::testing::CallLog;
using foliomix::testing::FakeWindow;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

constexpr DWORD kTestCallLimitMs = 400;
// A blocked call ends this long after it started: well past the shortened limit.
constexpr DWORD kBlockMs = 1500;

// The program's side while a call is pending: counts the filter's looks, and closes the window
// as the user does once the stand-in has begun to block a call, if told to.
class UserAtTheWindow final : public CallWaiter {
  public:
    UserAtTheWindow(FakeWindow& window, std::filesystem::path log, bool closesWhenBlocked)
        : window_(window), log_(std::move(log)), closesWhenBlocked_(closesWhenBlocked) {}

    void ProcessEvents() override {
        ++looks;
        if (closesWhenBlocked_ && window_.open && CallBlocked()) {
            window_.open = false;
        }
    }
    [[nodiscard]] bool StopRequested() const override { return !window_.open; }

    int looks = 0;

  private:
    [[nodiscard]] bool CallBlocked() const {
        std::ifstream file{log_, std::ios::binary};
        std::string line;
        while (std::getline(file, line)) {
            if (line.starts_with("Engine.Blocked(")) {
                return true;
            }
        }
        return false;
    }

    FakeWindow& window_;
    std::filesystem::path log_;
    bool closesWhenBlocked_;
};

class PendingCall : public StandinTest {
  protected:
    explicit PendingCall(DWORD limitMs = kTestCallLimitMs) { callLimitMs = limitMs; }

    void SetUp() override {
        StandinTest::SetUp();
        Control(L"FOLIOMIX_STANDIN_OUT_OF_APARTMENT", L"1");
        Control(L"FOLIOMIX_STANDIN_BLOCK_MS", std::to_wstring(kBlockMs));
    }

    void Block(std::wstring_view rule) { Control(L"FOLIOMIX_STANDIN_BLOCK", rule); }

    [[nodiscard]] bool LogHas(std::string_view part) const {
        const std::vector<std::string> log = Log();
        return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
            return line.find(part) != std::string::npos;
        });
    }

    CallLog calls;
    FakeWindow window{calls};
    ComPresentationServer server;
};

class PendingCallWithoutLimit : public PendingCall {
  protected:
    PendingCallWithoutLimit() : PendingCall(kCallLimitMs) {}
};

TEST_F(PendingCallWithoutLimit, TheFilterLooksAtTheCallAtEveryTickUntilItReturns) {
    Control(L"FOLIOMIX_STANDIN_BLOCK_MS", L"1000");
    Block(L"Slides.Count.get");
    UserAtTheWindow user(window, logFile, false);
    const auto consulted = apartment->Consult(user);
    const auto application = server.CreateApplication();
    const auto presentation = application->AddPresentation();

    const int before = user.looks;
    EXPECT_EQ(presentation->SlideCount(), 0);
    // About one look per tick (100 ms) while the call was held up for a second.
    EXPECT_GE(user.looks - before, 5);
    EXPECT_TRUE(LogHas("Engine.Blocked(Slides[1].Count.get)"));
}

// One blocked call of the adapter, cancelled by the close or by the limit: it fails as a call
// that the engine did not answer, whatever the engine did meanwhile.
struct CancelledCall {
    const char* name;
    const wchar_t* block;
    bool close;  // by the user's close; otherwise by the limit
};

void PrintTo(const CancelledCall& tested, std::ostream* out) { *out << tested.name; }

class PendingCallCancelled : public PendingCall,
                             public ::testing::WithParamInterface<CancelledCall> {};

TEST_P(PendingCallCancelled, FailsWithCallCanceled) {
    const CancelledCall& tested = GetParam();
    Block(tested.block);
    UserAtTheWindow user(window, logFile, tested.close);
    const auto consulted = apartment->Consult(user);
    const std::wstring deck = MakeDeck(L"一.ppt", {"一"});
    const auto application = server.CreateApplication();
    const auto presentation = application->AddPresentation();
    try {
        presentation->InsertFromFile(std::u16string(deck.begin(), deck.end()),
                                     presentation->SlideCount());
        ADD_FAILURE() << "the blocked call returned normally";
    } catch (const CallError& error) {
        EXPECT_EQ(error.Code(), RPC_E_CALL_CANCELED) << error.what();
    }
    EXPECT_EQ(window.open, !tested.close);
    EXPECT_TRUE(LogHas("Engine.Blocked("));
}

INSTANTIATE_TEST_SUITE_P(
    EveryCancel, PendingCallCancelled,
    ::testing::Values(CancelledCall{"ClosedDuringAMethod", L"Slides.InsertFromFile", true},
                      CancelledCall{"ClosedDuringAPropertyGet", L"Slides.Count.get", true},
                      CancelledCall{"MethodPastTheLimit", L"Slides.InsertFromFile", false},
                      CancelledCall{"PropertyGetPastTheLimit", L"Slides.Count.get", false}),
    [](const ::testing::TestParamInfo<CancelledCall>& tested) {
        return std::string(tested.param.name);
    });

// A merge run in which one call blocks: how it ends, what it shows, what it leaves in the engine.
struct StoppedRun {
    const char* name;
    const wchar_t* block;
    bool close;
    bool userEngine;  // the engine already holds the user's unsaved presentation
    JobOutcome outcome;
    const char* message;  // the failure box's text, or nullptr for none
};

void PrintTo(const StoppedRun& tested, std::ostream* out) { *out << tested.name; }

class PendingCallInARun : public PendingCall, public ::testing::WithParamInterface<StoppedRun> {};

TEST_P(PendingCallInARun, EndsTheRunAsAnyFailedCallDoesAndLeavesTheUsersEngineAlone) {
    const StoppedRun& tested = GetParam();
    if (tested.userEngine) {
        Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    }
    Block(tested.block);
    const std::wstring first = MakeDeck(L"一.ppt", {"一"});
    const std::wstring second = MakeDeck(L"二.ppt", {"二"});
    window.rows = {std::u16string(first.begin(), first.end()),
                   std::u16string(second.begin(), second.end())};
    const std::wstring out = PathOf(L"合并结果.ppt");
    window.saveAnswers = {{DialogOutcome::Confirmed, std::u16string(out.begin(), out.end())}};
    UserAtTheWindow user(window, logFile, tested.close);
    const auto consulted = apartment->Consult(user);
    MergeRun run(window, server);

    EXPECT_EQ(run.Run(), tested.outcome);

    EXPECT_TRUE(LogHas("Engine.Blocked("));
    // A cancelled save goes on in the engine, which may still write the file; the run saves
    // nothing after any other cancelled call.
    if (tested.outcome != JobOutcome::SaveFailed) {
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(out)));
    }
    if (tested.message != nullptr) {
        EXPECT_THAT(calls,
                    Contains(std::string("window.MsgBox(") + tested.message + "|合并演示文稿)"));
    } else {
        EXPECT_THAT(calls, Not(Contains(HasSubstr("window.MsgBox("))));
        EXPECT_EQ(window.touchedAfterClose, 0);
    }
    Control(L"FOLIOMIX_STANDIN_BLOCK", L"");
    if (tested.userEngine) {
        // The engine runs on with the user's presentation and alerts. (A cancelled Add still
        // makes its presentation, which the run never learns of: the count may be one more.)
        EXPECT_FALSE(LogHas("Engine.Discarded(Presentation[1],user"));
        EXPECT_FALSE(LogHas("Application.Quit()"));
        EXPECT_FALSE(LogHas("Presentation[1].Close()"));
        EXPECT_GE(EnginePresentationCount(), 1);
        EXPECT_TRUE(EngineDisplayAlerts());
    } else {
        // The shutdown after the cancelled call still reaches an engine that answers.
        EXPECT_TRUE(LogHas("Engine.End()"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryStop, PendingCallInARun,
    ::testing::Values(
        StoppedRun{"ClosedDuringTheSecondInsert", L"Slides.InsertFromFile#2", true, false,
                   JobOutcome::Stopped, nullptr},
        StoppedRun{"ClosedDuringTheSecondInsertInTheUsersEngine", L"Slides.InsertFromFile#2", true,
                   true, JobOutcome::Stopped, nullptr},
        StoppedRun{"ClosedDuringTheNewPresentation", L"Presentations.Add", true, true,
                   JobOutcome::Stopped, nullptr},
        StoppedRun{"FirstInsertPastTheLimit", L"Slides.InsertFromFile#1", false, false,
                   JobOutcome::InsertFailed, "出现未知错误！退出？"},
        StoppedRun{"FirstInsertPastTheLimitInTheUsersEngine", L"Slides.InsertFromFile#1", false,
                   true, JobOutcome::InsertFailed, "出现未知错误！退出？"},
        StoppedRun{"SavePastTheLimit", L"Presentation.SaveAs", false, true, JobOutcome::SaveFailed,
                   "合并结果保存失败！"},
        StoppedRun{"StartPastTheLimit", L"Application.DisplayAlerts.put#1", false, true,
                   JobOutcome::StartFailed, "出错，系统没有安装 MS PowerPoint"}),
    [](const ::testing::TestParamInfo<StoppedRun>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
}  // namespace foliomix::com::testing
