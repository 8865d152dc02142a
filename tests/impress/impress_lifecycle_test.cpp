// The engine process and its private profile: gone after Quit, after the global Quit, after
// the server is destroyed without any Quit, and after a start that failed; and the merge run's
// failure paths on the real engine leave nothing saved and nothing running.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "merge/impress/engine_leftovers.h"
#include "merge/impress/impress_presentation_server.h"
#include "merge/impress/temporary_directory.h"
#include "merge/merge_run.h"
#include "tests/impress/deck_maker.h"
#include "tests/unit/fake_window.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
using impress::ImpressOptions;
using impress::ImpressPresentationServer;

struct EngineTraces {
    int pid = 0;
    fs::path profile;
};

EngineTraces TracesOf(const ImpressPresentationServer& server) {
    return {server.EngineProcessId(), server.EngineProfileDirectory()};
}

void ExpectGone(const EngineTraces& traces) {
    EXPECT_FALSE(ProcessAlive(traces.pid)) << "pid " << traces.pid;
    EXPECT_FALSE(fs::exists(traces.profile)) << traces.profile;
    // Nor the socket of its single-instance pipe, which a killed engine leaves behind.
    EXPECT_FALSE(
        fs::exists(impress::SingleInstanceSocketPath("/tmp", impress::ProfileUrl(traces.profile))));
    EXPECT_TRUE(ProcessesMentioning(traces.profile.string()).empty()) << traces.profile;
}

// Points TMPDIR at a fresh folder of its own while it lives, so that the profile folders an
// engine would make can be counted without seeing other programs' temporary files.
class PrivateTemporaryFolder {
  public:
    PrivateTemporaryFolder() {
        const char* previous = std::getenv("TMPDIR");
        had_ = previous != nullptr;
        previous_ = had_ ? previous : "";
        ::setenv("TMPDIR", folder_.Path().c_str(), 1);
    }
    ~PrivateTemporaryFolder() {
        if (had_) {
            ::setenv("TMPDIR", previous_.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    PrivateTemporaryFolder(const PrivateTemporaryFolder&) = delete;
    PrivateTemporaryFolder& operator=(const PrivateTemporaryFolder&) = delete;

    [[nodiscard]] bool Empty() const { return fs::is_empty(folder_.Path()); }

  private:
    impress::TemporaryDirectory folder_{"foliomix-tmpdir-test-"};
    bool had_ = false;
    std::string previous_;
};

class ImpressLifecycleTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<impress::TemporaryDirectory>("foliomix-life-test-");
        DeckMaker maker;
        maker.Make(folder_->Path() / "a.ppt", {"A1", "A2"});
        std::ofstream(folder_->Path() / "bad.ppt") << "these bytes are no presentation";
    }
    static void TearDownTestSuite() { folder_.reset(); }

    static std::u16string File(const char* name) { return (folder_->Path() / name).u16string(); }

    static inline std::unique_ptr<impress::TemporaryDirectory> folder_;
};

TEST_F(ImpressLifecycleTest, EveryWayOfEndingLeavesNoProcessAndNoProfile) {
    enum class End { Quit, GlobalQuit, DestroyServer, DestroyServerHoldingObjects };
    for (const End end :
         {End::Quit, End::GlobalQuit, End::DestroyServer, End::DestroyServerHoldingObjects}) {
        SCOPED_TRACE(static_cast<int>(end));
        auto server = std::make_unique<ImpressPresentationServer>();
        auto application = server->CreateApplication();
        // Nothing to show headless: the setting is accepted while the engine runs.
        application->SetDisplayAlerts(false);
        auto presentation = application->AddPresentation();
        presentation->InsertFromFile(File("a.ppt"), 0);
        const EngineTraces traces = TracesOf(*server);
        ASSERT_GT(traces.pid, 0);
        ASSERT_TRUE(ProcessAlive(traces.pid));
        ASSERT_TRUE(fs::is_directory(traces.profile));
        switch (end) {
            case End::Quit:
                application->Quit();
                // Objects outliving the engine fail, they do not hang or crash.
                EXPECT_THROW((void)presentation->SlideCount(), ServerError);
                EXPECT_THROW(presentation->SaveAs(File("late.ppt")), ServerError);
                EXPECT_THROW((void)application->AddPresentation(), ServerError);
                break;
            case End::GlobalQuit:
                server->CreateGlobal()->Application()->Quit();
                EXPECT_THROW(application->SetDisplayAlerts(true), ServerError);
                break;
            case End::DestroyServer:
                presentation.reset();
                application.reset();
                server.reset();
                break;
            case End::DestroyServerHoldingObjects:
                server.reset();
                EXPECT_THROW((void)presentation->SlideCount(), ServerError);
                break;
        }
        ExpectGone(traces);
        EXPECT_FALSE(fs::exists(File("late.ppt")));
    }
}

TEST_F(ImpressLifecycleTest, TheEngineTakesItsNewProfileAsAlreadySetUp) {
    ImpressPresentationServer server;
    auto application = server.CreateApplication();
    const fs::path user = server.EngineProfileDirectory() / "user";
    ASSERT_TRUE(fs::is_directory(user));
    // The graphics self-tests of a first start write this log before the engine accepts us.
    EXPECT_FALSE(fs::exists(user / "GraphicsRenderTests.log"));
    auto presentation = application->AddPresentation();
    presentation->InsertFromFile(File("a.ppt"), 0);
    EXPECT_EQ(presentation->SlideCount(), 2);
    application->Quit();
}

TEST_F(ImpressLifecycleTest, AnEngineThatHangsIsStillEndedByQuit) {
    ImpressPresentationServer server;
    auto application = server.CreateApplication();
    const EngineTraces traces = TracesOf(server);
    // Stopped, the engine answers nothing, terminate() included.
    ASSERT_EQ(::kill(traces.pid, SIGSTOP), 0);
    application->Quit();
    ExpectGone(traces);
}

TEST_F(ImpressLifecycleTest, QuitTwiceAndAGlobalQuitWithNoEngineAreHarmless) {
    ImpressPresentationServer server;
    auto application = server.CreateApplication();
    const EngineTraces traces = TracesOf(server);
    application->Quit();
    application->Quit();
    server.CreateGlobal()->Application()->Quit();
    ExpectGone(traces);
    EXPECT_EQ(server.EngineProcessId(), 0);
}

TEST_F(ImpressLifecycleTest, AnEngineThatCannotStartFailsAndLeavesNothing) {
    const PrivateTemporaryFolder temporary;
    for (const char* program : {"/nonexistent/soffice.bin", "/bin/true", "/bin/false"}) {
        SCOPED_TRACE(program);
        ImpressPresentationServer server(ImpressOptions{.start = {.program = program}});
        EXPECT_THROW((void)server.CreateApplication(), ServerError);
        EXPECT_EQ(server.EngineProcessId(), 0);
        EXPECT_TRUE(temporary.Empty());
    }
}

TEST_F(ImpressLifecycleTest, AnEngineThatNeverAcceptsIsGivenUpAndKilled) {
    // A stand-in that runs, with a child of its own, but never opens the pipe.
    const fs::path program = folder_->Path() / "silent-engine";
    std::ofstream(program) << "#!/bin/sh\nsleep 2999 &\nwait\n";
    fs::permissions(program, fs::perms::owner_all);
    const PrivateTemporaryFolder temporary;
    ImpressPresentationServer server(
        ImpressOptions{.start = {.program = program.string(), .timeout = std::chrono::seconds(2)}});
    EXPECT_THROW((void)server.CreateApplication(), ServerError);
    EXPECT_EQ(server.EngineProcessId(), 0);
    EXPECT_TRUE(temporary.Empty());
    EXPECT_TRUE(ProcessesMentioning(program.string()).empty());
    EXPECT_TRUE(ProcessesMentioning("sleep 2999").empty());
}

// The core's merge run on the real engine: the failure paths the user sees.
struct RunCase {
    const char* name;
    std::vector<const char*> inputs;
    const char* savePath;  // relative to the test folder
    JobOutcome outcome;
    bool saved;
    // A result that cannot be written where it is to go fails before the engine starts.
    bool engineStarts = true;
};

TEST_F(ImpressLifecycleTest, MergeRunFailurePathsSaveNothingAndEndTheEngine) {
    std::ofstream(folder_->Path() / "a-file") << "x";
    for (const RunCase& run : {
             RunCase{"completed", {"a.ppt", "a.ppt"}, "ok.ppt", JobOutcome::Completed, true},
             RunCase{
                 "bad input", {"a.ppt", "bad.ppt"}, "bad-run.ppt", JobOutcome::InsertFailed, false},
             RunCase{
                 "unwritable", {"a.ppt"}, "a-file/out.ppt", JobOutcome::SaveFailed, false, false},
         }) {
        SCOPED_TRACE(run.name);
        CallLog log;
        FakeWindow window(log);
        for (const char* input : run.inputs) {
            window.rows.push_back(File(input));
        }
        window.saveAnswers.push_back({DialogOutcome::Confirmed, File(run.savePath)});
        EngineTraces traces;
        ImpressPresentationServer server;
        MergeRun merge(window, server);
        // Record the engine while it runs: at the first file's event point it has started.
        window.onProcessEvents = [&](int call) {
            if (call == 2) {
                traces = TracesOf(server);
            }
        };
        EXPECT_EQ(merge.Run(), run.outcome);
        EXPECT_EQ(fs::exists(folder_->Path() / run.savePath), run.saved);
        if (!run.engineStarts) {
            EXPECT_EQ(traces.pid, 0);
            continue;
        }
        ASSERT_GT(traces.pid, 0);
        // Quit was called on every path: the engine is gone while the server still exists.
        ExpectGone(traces);
    }
}

}  // namespace
}  // namespace foliomix::testing

namespace foliomix::testing {
namespace {

// An engine that stops answering (stopped here; an import filter that loops does the same) is
// ended once a limit passes, and the run takes its usual failure path. Both limits are
// shortened: one case ends it for using no processor time, the other for taking too long.
TEST_F(ImpressLifecycleTest, AStoppedEngineIsEndedAndTheRunFailsAsUsual) {
    struct LimitCase {
        const char* name = "";
        impress::EngineLimits limits;
    };
    for (const LimitCase& limit :
         {LimitCase{"idle", {.idle = std::chrono::seconds(2)}},
          LimitCase{"call", {.idle = std::chrono::minutes(10), .call = std::chrono::seconds(2)}}}) {
        SCOPED_TRACE(limit.name);
        CallLog log;
        FakeWindow window(log);
        window.rows = {File("a.ppt"), File("a.ppt")};
        window.saveAnswers.push_back({DialogOutcome::Confirmed, File("stopped.ppt")});
        EngineTraces traces;
        ImpressOptions options;
        options.limits = limit.limits;
        ImpressPresentationServer server(options);
        MergeRun merge(window, server);
        // At the second file's event point the engine has merged the first file; stopped now,
        // it answers none of the calls that follow.
        window.onProcessEvents = [&](int call) {
            if (call == 3) {
                traces = TracesOf(server);
                ::kill(traces.pid, SIGSTOP);
            }
        };
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(merge.Run(), JobOutcome::InsertFailed);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
        EXPECT_EQ(window.statusText, u"正在合并演示文稿…1个已完成！");
        EXPECT_THAT(log, ::testing::Contains("window.MsgBox(出现未知错误！退出？|合并演示文稿)"));
        EXPECT_FALSE(fs::exists(folder_->Path() / "stopped.ppt"));
        ASSERT_GT(traces.pid, 0);
        ExpectGone(traces);
    }
}

}  // namespace
}  // namespace foliomix::testing
