// The merge from request to exit status, on the recording fake engine: a stop requested during
// any engine call, even once the result is written, leaves no output and nothing of ours; each
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
using ::testing::ContainsRegex;
using testing::FakeServer;
using testing::FileBytes;
using ::testing::HasSubstr;
using testing::NamesIn;
using ::testing::Not;

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
            .select = [](const std::optional<std::string>&) { return EngineSelection{}; },
            .saveWarning =
                [this](std::string_view extension, std::int64_t slides) {
                    return warns ? "short of memory for " + std::to_string(slides) + " slides as " +
                                       std::string(extension)
                                 : std::string();
                },
            .make = [this](const StopRequest&,
                           const std::string&) { return std::make_unique<FakeEngine>(server); }};
        const MergeRequest request{
            Output().string(),
            true,
            quiet,
            verbose,
            {Input("a.ppt").string() + picksOfA, Input("b.ppt").string() + picksOfB},
            std::nullopt,
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
    bool verbose = false;
    bool quiet = false;
    bool warns = false;    // the engine warns of every save
    std::string picksOfA;  // "@2-3": the slides picked from a.ppt, as written
    std::string picksOfB;
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
        FailureKind kind;
        ExitStatus status;
        std::string message;  // a pattern: in plain words, naming the file as given
    };
    // The inputs and output as given: full paths in a folder of each scene's own.
    const std::string b = "/[^ ]*/b\\.ppt";
    for (const Case& c : {
             Case{"CreateApplication", FailureKind::Other, ExitStatus::kEngineUnavailable,
                  "cannot start Fake Engine: it is not installed or does not start\n"},
             Case{"app.DisplayAlerts=false", FailureKind::Other, ExitStatus::kEngineUnavailable,
                  "cannot start Fake Engine"},
             Case{"app.Presentations.Add", FailureKind::Other, ExitStatus::kInsertFailed,
                  "cannot make the new presentation"},
             Case{"pres.InsertFromFile#2", FailureKind::Other, ExitStatus::kInsertFailed,
                  "cannot insert " + b + ": the engine could not open or insert it\n"},
             Case{"pres.InsertFromFile#2", FailureKind::NotAPresentation, ExitStatus::kInsertFailed,
                  "cannot insert " + b + ": not a presentation\n"},
             Case{"pres.InsertFromFile#2", FailureKind::PasswordProtected,
                  ExitStatus::kInsertFailed, "cannot insert " + b + ": password-protected\n"},
             Case{"pres.InsertFromFile#2", FailureKind::EngineStopped, ExitStatus::kInsertFailed,
                  "the engine stopped while opening " + b + "\n"},
             Case{"pres.SaveAs", FailureKind::DiskFull, ExitStatus::kSaveFailed,
                  "cannot save /[^ ]*/r\\.pptx: disk full\n"},
             Case{"pres.SaveAs", FailureKind::PermissionDenied, ExitStatus::kSaveFailed,
                  "r.pptx: permission denied\n"},
             Case{"pres.SaveAs", FailureKind::NoVisibleSlide, ExitStatus::kSaveFailed,
                  "r.pptx: every slide is hidden, and a PDF shows only the visible ones\n"},
             Case{"", FailureKind::Other, ExitStatus::kSaveFailed,
                  "r.pptx: the engine could not write it\n"},
         }) {
        SCOPED_TRACE(c.failing + " " + c.message);
        Scene scene;
        scene.writesFile = !c.failing.empty();
        if (!c.failing.empty()) {
            scene.server.failing.insert(c.failing);
            scene.server.failingKind = c.kind;
        }
        EXPECT_EQ(scene.Run(), c.status);
        EXPECT_THAT(scene.messages.str(), ContainsRegex(c.message));
        // The engine's own words only when asked for.
        EXPECT_THAT(scene.messages.str(), Not(HasSubstr(" failed")));
        EXPECT_EQ(FileBytes(scene.Output()), "the old result");
        EXPECT_EQ(scene.Names(), kUntouched);
    }
    Scene verbose;
    verbose.verbose = true;
    verbose.server.failing.insert("pres.InsertFromFile#2");
    verbose.server.failingKind = FailureKind::NotAPresentation;
    EXPECT_EQ(verbose.Run(), ExitStatus::kInsertFailed);
    EXPECT_THAT(verbose.messages.str(),
                HasSubstr(": not a presentation\nfoliomix-merge: Fake Engine said: "
                          "pres.InsertFromFile failed\n"));
    // And without a failure the new result replaces it, with nothing else left; the engine is
    // told the format that the output's extension names, not left to its default.
    Scene scene;
    EXPECT_EQ(scene.Run(), ExitStatus::kMerged);
    EXPECT_THAT(scene.Log(), ::testing::Contains(::testing::EndsWith("r.pptx,OpenXml)")));
    EXPECT_EQ(FileBytes(scene.Output()), "the new result");
    EXPECT_EQ(scene.Names(), kUntouched);
}

TEST(MergeCommandTest, PickedSlidesAreShownAsTakenAndPicksPastTheEndOrNoSlideAtAllAreRefused) {
    struct Case {
        std::vector<std::string> a;  // the slides of a.ppt and of b.ppt
        std::vector<std::string> b;
        std::string picksOfA;
        std::string picksOfB;
        ExitStatus status;
        std::string messages;  // a pattern
    };
    for (const Case& c : {
             Case{{"a1", "a2", "a3"},
                  {"b1"},
                  "@3,1-2",
                  "",
                  ExitStatus::kMerged,
                  "^\\[1/2\\] a\\.ppt: slides 3, 1–2 of 3\n"
                  "\\[2/2\\] b\\.ppt: 1 slide\n"},
             Case{{"a1"},
                  {"b1"},
                  "",
                  "@1,2",
                  ExitStatus::kInsertFailed,
                  "cannot insert /[^ ]*/b\\.ppt@1,2: it has 1 slide\n$"},
             Case{{"a1"},
                  {},
                  "",
                  "@1-",
                  ExitStatus::kInsertFailed,
                  "cannot insert /[^ ]*/b\\.ppt@1-: it has 0 slides\n$"},
             Case{{},
                  {},
                  "",
                  "",
                  ExitStatus::kUsage,
                  "cannot save /[^ ]*/r\\.pptx: the inputs brought no slide\n$"},
             // No range, so a plain name, which names no file: known before the engine starts.
             Case{{"a1"},
                  {"b1"},
                  "",
                  "@2-1",
                  ExitStatus::kUsage,
                  "b\\.ppt@2-1: no such file; and \"2-1\" picks no slides: slides count from "
                  "1, a range runs upwards \\(2-5\\)\n$"},
         }) {
        SCOPED_TRACE(c.picksOfA + " " + c.picksOfB);
        Scene scene;
        scene.server.files[scene.Input("a.ppt").u16string()] = c.a;
        scene.server.files[scene.Input("b.ppt").u16string()] = c.b;
        scene.picksOfA = c.picksOfA;
        scene.picksOfB = c.picksOfB;
        EXPECT_EQ(scene.Run(), c.status);
        EXPECT_THAT(scene.messages.str(), ContainsRegex(c.messages));
        if (c.status != ExitStatus::kMerged) {
            EXPECT_EQ(FileBytes(scene.Output()), "the old result");
            EXPECT_EQ(scene.Names(), kUntouched);
        }
    }
}

// The engine's warning of a save that may run short of memory comes before the save, with the
// slides of all inputs counted, also when progress is not shown.
TEST(MergeCommandTest, TheEnginesWarningOfALargeSaveComesBeforeTheSaveQuietOrNot) {
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet ? "quiet" : "with progress");
        Scene scene;
        scene.quiet = quiet;
        scene.warns = true;
        EXPECT_EQ(scene.Run(), ExitStatus::kMerged);
        const std::string warning = "foliomix-merge: short of memory for 2 slides as .pptx\n";
        if (quiet) {
            EXPECT_EQ(scene.messages.str(), warning);
        } else {
            EXPECT_THAT(scene.messages.str(), HasSubstr(warning + "saving r.pptx\n"));
        }
    }
}

}  // namespace
}  // namespace foliomix::cli
