// The merge from request to exit status, on the recording fake engine: a stop requested during
// any engine call, even once the result is saved, leaves no output and nothing of ours; each
// engine step that fails gives its exit status and leaves an existing output as it was.
#include "app/cli/merge_command.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "merge/impress/temporary_directory.h"
#include "tests/support/files.h"
#include "tests/unit/fake_server.h"

namespace foliomix::cli {
namespace {

namespace fs = std::filesystem;
using testing::CallLog;
using testing::FakeServer;
using testing::FileBytes;
using ::testing::HasSubstr;
using testing::NamesIn;

class FakeEngine final : public ConsoleEngine {
  public:
    explicit FakeEngine(FakeServer& server) : server_(server) {}
    PresentationServer& Server() override { return server_; }

  private:
    FakeServer& server_;
};

// Merges a.ppt and b.ppt into the existing r.pptx (with --force) on the fake engine, whose
// SaveAs writes the file it is given, in a folder of its own.
class Scene {
  public:
    Scene() {
        for (const char* name : {"a.ppt", "b.ppt"}) {
            std::ofstream(Input(name)) << name;
            server.files[Input(name).u16string()] = {name};
        }
        std::ofstream(Output()) << "the old result";
        server.onCall = [this](const std::string& call) {
            if (call == "pres.SaveAs" && writesFile) {
                // The call's path, as the log shows it: "server.pres.SaveAs(<path>,<format>)".
                const std::string& logged = log_.back();
                const std::size_t open = logged.find('(');
                std::ofstream(logged.substr(open + 1, logged.rfind(',') - open - 1))
                    << "the new result";
            }
            if (call == stopAt) {
                stop_.Request();
            }
        };
    }

    ExitStatus Run() {
        const EngineChoice engine{
            .name = "Fake Engine",
            .outputExtensions = {".pptx"},
            .make = [this](const StopRequest&) { return std::make_unique<FakeEngine>(server); }};
        const MergeRequest request{Output().string(),
                                   true,
                                   false,
                                   {Input("a.ppt").string(), Input("b.ppt").string()},
                                   std::nullopt};
        std::istringstream noInput;
        ConsoleOutput console(messages, 0);
        const auto inputs = CheckedInputs(request, engine, noInput, console);
        return inputs ? RunMerge(request, *inputs, engine, console, stop_) : ExitStatus::kUsage;
    }

    [[nodiscard]] fs::path Input(const char* name) const { return folder_.Path() / name; }
    [[nodiscard]] fs::path Output() const { return folder_.Path() / "r.pptx"; }
    // What the folder holds: the inputs and the output, and nothing else of ours?
    [[nodiscard]] std::vector<std::string> Names() const { return NamesIn(folder_.Path()); }
    [[nodiscard]] const CallLog& Log() const { return log_; }

    FakeServer server{log_};
    std::string stopAt;  // the engine call during which a stop is requested
    bool writesFile = true;
    std::ostringstream messages;

  private:
    impress::TemporaryDirectory folder_{"foliomix-command-test-"};
    CallLog log_;
    StopRequest stop_;
};

const std::vector<std::string> kUntouched{"a.ppt", "b.ppt", "r.pptx"};

TEST(MergeCommandTest, AStopDuringAnyEngineCallLeavesNothing) {
    // The calls of a merge that succeeds, each in turn the one during which the stop comes.
    std::vector<std::string> calls;
    {
        Scene clean;
        ASSERT_EQ(clean.Run(), ExitStatus::kMerged) << clean.messages.str();
        for (const std::string& entry : clean.Log()) {
            const std::string call = entry.substr(7, entry.find('(') - 7);
            if (!call.ends_with("Release")) {
                calls.push_back(call);
            }
        }
    }
    ASSERT_THAT(calls, ::testing::Contains("pres.SaveAs"));
    ASSERT_EQ(calls.back(), "app.Quit");
    for (const std::string& call : calls) {
        SCOPED_TRACE(call);
        Scene scene;
        scene.stopAt = call;
        EXPECT_EQ(scene.Run(), ExitStatus::kInterrupted);
        EXPECT_THAT(scene.messages.str(), ::testing::EndsWith("foliomix-merge: interrupted\n"));
        EXPECT_EQ(FileBytes(scene.Output()), "the old result");
        EXPECT_EQ(scene.Names(), kUntouched);
    }
}

TEST(MergeCommandTest, EachFailingStepHasItsExitStatusAndKeepsTheOldOutput) {
    struct Case {
        std::string failing;  // "": none fails, but the engine writes no file
        ExitStatus status;
        std::string message;
    };
    for (const Case& c : {
             Case{"CreateApplication", ExitStatus::kEngineUnavailable,
                  "cannot start Fake Engine: CreateApplication failed"},
             Case{"app.DisplayAlerts=false", ExitStatus::kEngineUnavailable,
                  "cannot start Fake Engine"},
             Case{"app.Presentations.Add", ExitStatus::kInsertFailed,
                  "cannot make the new presentation"},
             Case{"pres.InsertFromFile#2", ExitStatus::kInsertFailed,
                  "b.ppt: pres.InsertFromFile failed"},
             Case{"pres.SaveAs", ExitStatus::kSaveFailed, "r.pptx: pres.SaveAs failed"},
             Case{"", ExitStatus::kSaveFailed, "r.pptx: the engine wrote no file"},
         }) {
        SCOPED_TRACE(c.failing);
        Scene scene;
        scene.writesFile = !c.failing.empty();
        if (!c.failing.empty()) {
            scene.server.failing.insert(c.failing);
        }
        EXPECT_EQ(scene.Run(), c.status);
        EXPECT_THAT(scene.messages.str(), HasSubstr(c.message));
        EXPECT_EQ(FileBytes(scene.Output()), "the old result");
        EXPECT_EQ(scene.Names(), kUntouched);
    }
    // And without a failure the new result replaces it, with nothing else left; the engine is
    // told the format that the output's extension names, not left to its default.
    Scene scene;
    EXPECT_EQ(scene.Run(), ExitStatus::kMerged);
    EXPECT_THAT(scene.Log(), ::testing::Contains(::testing::EndsWith("r.pptx,OpenXml)")));
    EXPECT_EQ(FileBytes(scene.Output()), "the new result");
    EXPECT_EQ(scene.Names(), kUntouched);
}

}  // namespace
}  // namespace foliomix::cli
