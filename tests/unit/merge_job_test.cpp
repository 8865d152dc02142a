// The merge sequence on its own, as the command line drives it: what the observer is told and
// when, each engine step failing in turn, and a stop after any engine call.
#include "merge/merge_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/folders.h"
#include "tests/unit/fake_server.h"

namespace foliomix::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const char* Name(JobOutcome outcome) {
    switch (outcome) {
        case JobOutcome::Cancelled:
            return "Cancelled";
        case JobOutcome::Completed:
            return "Completed";
        case JobOutcome::StartFailed:
            return "StartFailed";
        case JobOutcome::InsertFailed:
            return "InsertFailed";
        case JobOutcome::SaveFailed:
            return "SaveFailed";
        case JobOutcome::Stopped:
            return "Stopped";
    }
    return "?";
}

// Records what it is told into the engine's log, so that the order of both shows.
class RecordingObserver final : public MergeObserver {
  public:
    RecordingObserver(CallLog& log, std::vector<std::u16string> files)
        : log_(log), files_(std::move(files)) {}

    bool wantsCounts = false;
    // The slides picked from each file, by index; a file not listed is taken whole.
    std::map<int, SlideRanges> picks;
    // Stop once the log holds a line that starts with this.
    std::string stopAfter;

    [[nodiscard]] bool StopRequested() const override {
        return !stopAfter.empty() &&
               std::any_of(log_.begin(), log_.end(),
                           [&](const std::string& line) { return line.starts_with(stopAfter); });
    }
    [[nodiscard]] int FileCount() override { return static_cast<int>(files_.size()); }
    [[nodiscard]] std::u16string File(int index) override {
        return files_[static_cast<std::size_t>(index)];
    }
    [[nodiscard]] bool WantsSlideCounts() const override { return wantsCounts; }
    [[nodiscard]] SlideRanges PickedSlides(int index) override {
        const auto found = picks.find(index);
        return found == picks.end() ? SlideRanges{} : found->second;
    }
    void FileCounted(int index, std::int32_t slides) override {
        log_.push_back("obs.FileCounted(" + std::to_string(index) + "," + std::to_string(slides) +
                       ")");
    }
    void Inserted(int index, std::int32_t slides) override {
        log_.push_back("obs.Inserted(" + std::to_string(index) + "," + std::to_string(slides) +
                       ")");
    }
    void Failed(JobOutcome outcome, int file, const JobFailure& failure) override {
        log_.push_back("obs.Failed(" + std::string(Name(outcome)) + "," + std::to_string(file) +
                       ")");
        reasons.push_back(failure.engineWords);
        kinds.push_back(failure.kind);
    }
    void Completed() override { log_.push_back("obs.Completed"); }

    std::vector<std::string> reasons;
    std::vector<FailureKind> kinds;

  private:
    CallLog& log_;
    std::vector<std::u16string> files_;
};

class MergeJobTest : public ::testing::Test {
  protected:
    MergeJobTest() {
        server.files[u"a.pptx"] = {"a1", "a2"};
        server.files[u"b.odp"] = {"b1"};
        server.files[u"c.ppt"] = {"c1", "c2", "c3"};
    }

    // What the log holds from the first line that mentions `text` on.
    [[nodiscard]] std::vector<std::string> From(const std::string& text) const {
        const auto first = std::find_if(log.begin(), log.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
        return {first, log.end()};
    }

    CallLog log;
    FakeServer server{log};
    RecordingObserver observer{log, {u"a.pptx", u"b.odp", u"c.ppt"}};
    MergeJob job{server};
};

TEST_F(MergeJobTest, MergesInOrderCountingWhatEachFileBroughtWhenAsked) {
    observer.wantsCounts = true;
    EXPECT_EQ(job.Run(observer, {u"out.pptx"}), JobOutcome::Completed);
    EXPECT_THAT(server.saved[u"out.pptx"], ElementsAre("a1", "a2", "b1", "c1", "c2", "c3"));
    EXPECT_THAT(
        From("obs."),
        ElementsAre("obs.Inserted(0,2)", "server.pres.SlideCount",
                    "server.pres.InsertFromFile(b.odp,2)", "server.pres.SlideCount",
                    "obs.Inserted(1,1)", "server.pres.SlideCount",
                    "server.pres.InsertFromFile(c.ppt,3)", "server.pres.SlideCount",
                    "obs.Inserted(2,3)", "server.pres.SaveAs(out.pptx)", "server.pres.Release",
                    "server.app.DisplayAlerts=true", "server.app.Quit", "obs.Completed"));
}

TEST_F(MergeJobTest, WithoutCountsNoEngineCallIsAdded) {
    EXPECT_EQ(job.Run(observer, {u"out.ppt"}), JobOutcome::Completed);
    EXPECT_EQ(std::count(log.begin(), log.end(), "server.pres.SlideCount"), 3);
    EXPECT_THAT(From("obs.Inserted(0"), ::testing::Contains("obs.Inserted(2,-1)"));
}

TEST_F(MergeJobTest, SavesInTheFormatAskedForAndOtherwiseLeavesItToTheEngine) {
    struct Case {
        std::optional<SaveFormat> format;
        const char* call = "";
    };
    for (const Case& c :
         {Case{std::nullopt, "server.pres.SaveAs(out.odp)"},
          Case{SaveFormat::OpenDocument, "server.pres.SaveAs(out.odp,OpenDocument)"},
          Case{SaveFormat::Pdf, "server.pres.SaveAs(out.odp,Pdf)"}}) {
        SCOPED_TRACE(c.call);
        log.clear();
        MergeJob saving(server);
        EXPECT_EQ(saving.Run(observer, {u"out.odp", c.format}), JobOutcome::Completed);
        EXPECT_EQ(std::count_if(log.begin(), log.end(),
                                [](const std::string& line) {
                                    return line.starts_with("server.pres.SaveAs(");
                                }),
                  1);
        EXPECT_THAT(log, ::testing::Contains(c.call));
    }
}

TEST_F(MergeJobTest, PickedSlidesComeInTheOrderWrittenOneInsertPerRunOfConsecutiveSlides) {
    struct Case {
        const char* a;
        const char* c;
        std::vector<std::string> result;
        std::vector<std::string> inserts;
    };
    for (const Case& t : {
             Case{"2-",
                  "3,1-2",
                  {"a2", "b1", "c3", "c1", "c2"},
                  {"(a.pptx,0,2-2)", "(b.odp,1)", "(c.ppt,2,3-3)", "(c.ppt,3,1-2)"}},
             Case{"-1,1",
                  "1-2,3,2",
                  {"a1", "a1", "b1", "c1", "c2", "c3", "c2"},
                  {"(a.pptx,0,1-1)", "(a.pptx,1,1-1)", "(b.odp,2)", "(c.ppt,3,1-3)",
                   "(c.ppt,6,2-2)"}},
         }) {
        SCOPED_TRACE(std::string(t.a) + " " + t.c);
        log.clear();
        observer.picks = {{0, *ParseSlideRanges(t.a)}, {2, *ParseSlideRanges(t.c)}};
        MergeJob picking(server);
        EXPECT_EQ(picking.Run(observer, {u"out.ppt"}), JobOutcome::Completed);
        EXPECT_EQ(server.saved[u"out.ppt"], t.result);
        std::vector<std::string> inserts;
        for (const std::string& line : log) {
            if (line.starts_with("server.pres.InsertFromFile")) {
                inserts.push_back(line.substr(line.find('(')));
            }
        }
        EXPECT_EQ(inserts, t.inserts);
        // Each picked file is counted once, before any of its slides is taken.
        EXPECT_THAT(From("SlideCountOfFile(c.ppt)"), ::testing::Contains("obs.FileCounted(2,3)"));
        EXPECT_EQ(From("SlideCountOfFile(c.ppt)")[1], "obs.FileCounted(2,3)");
    }
}

TEST_F(MergeJobTest, APickPastTheLastSlideFailsThatFileBeforeAnySlideOfItIsTaken) {
    observer.picks = {{1, *ParseSlideRanges("1,2")}};
    EXPECT_EQ(job.Run(observer, {u"out.ppt"}), JobOutcome::InsertFailed);
    const auto after = From("SlideCountOfFile(b.odp)");
    ASSERT_GE(after.size(), 4U);
    EXPECT_THAT(std::vector(after.begin(), after.begin() + 4),
                ElementsAre("server.pres.SlideCountOfFile(b.odp)", "obs.FileCounted(1,1)",
                            "server.pres.Release", "obs.Failed(InsertFailed,1)"));
    EXPECT_THAT(after, ::testing::Contains("server.app.Quit"));
    EXPECT_THAT(observer.kinds, ElementsAre(FailureKind::SlideOutOfRange));
    EXPECT_TRUE(server.saved.empty());
}

TEST_F(MergeJobTest, AResultWithoutSlidesIsRefusedOnlyWhenAskedTo) {
    server.files[u"none.pptx"] = {};
    for (const bool refuse : {false, true}) {
        SCOPED_TRACE(refuse);
        server.saved.clear();
        RecordingObserver empty{log, {u"none.pptx"}};
        MergeJob saving(server);
        SaveRequest save{u"out.ppt"};
        save.refuseEmpty = refuse;
        EXPECT_EQ(saving.Run(empty, save), refuse ? JobOutcome::SaveFailed : JobOutcome::Completed);
        EXPECT_EQ(server.saved.empty(), refuse);
        EXPECT_EQ(empty.kinds,
                  refuse ? std::vector{FailureKind::NoSlides} : std::vector<FailureKind>{});
    }
}

struct StepFailure {
    const char* failing;
    JobOutcome outcome;
    int file;  // the file the failure is laid to, -1: none
};

class MergeJobFailureTest : public MergeJobTest,
                            public ::testing::WithParamInterface<StepFailure> {};

TEST_P(MergeJobFailureTest, ReportsTheFailureThenShutsTheEngineDownAndSavesNothing) {
    observer.wantsCounts = true;
    server.failing = {GetParam().failing};
    server.failingKind = FailureKind::DiskFull;
    EXPECT_EQ(job.Run(observer, {u"out.ppt"}), GetParam().outcome);
    EXPECT_TRUE(server.saved.empty());
    const std::string reported = "obs.Failed(" + std::string(Name(GetParam().outcome)) + "," +
                                 std::to_string(GetParam().file) + ")";
    const auto after = From(reported);
    ASSERT_FALSE(after.empty()) << reported;
    // Reported before the engine is told to end, and it is told.
    EXPECT_THAT(after, ::testing::Contains("server.app.Quit"));
    EXPECT_THAT(log, ::testing::Not(::testing::Contains("obs.Completed")));
    ASSERT_EQ(observer.reasons.size(), 1U);
    EXPECT_THAT(observer.reasons[0], HasSubstr("failed"));
    // What kind of failure it was reaches the observer with the engine's words.
    EXPECT_THAT(observer.kinds, ::testing::ElementsAre(FailureKind::DiskFull));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, MergeJobFailureTest,
    ::testing::Values(StepFailure{"app.DisplayAlerts=false", JobOutcome::StartFailed, -1},
                      StepFailure{"app.Presentations.Add", JobOutcome::InsertFailed, -1},
                      StepFailure{"pres.SlideCount#1", JobOutcome::InsertFailed, 0},
                      StepFailure{"pres.InsertFromFile#2", JobOutcome::InsertFailed, 1},
                      // The count that tells what file c brought.
                      StepFailure{"pres.SlideCount#6", JobOutcome::InsertFailed, 2},
                      StepFailure{"pres.SaveAs", JobOutcome::SaveFailed, -1}));

TEST_F(MergeJobTest, AnEngineThatDoesNotStartIsReportedAndNothingIsShutDown) {
    server.failing = {"CreateApplication"};
    EXPECT_EQ(job.Run(observer, {u"out.ppt"}), JobOutcome::StartFailed);
    EXPECT_THAT(From("obs."), ElementsAre("obs.Failed(StartFailed,-1)"));
    EXPECT_EQ(server.liveReferences, 0);
}

TEST_F(MergeJobTest, AStopAfterAnyEngineCallEndsTheEngineAndReportsNothing) {
    for (const char* call :
         {"server.app.Presentations.Add", "server.pres.SlideCount",
          "server.pres.InsertFromFile(b.odp,2)", "server.pres.SaveAs(out.ppt)"}) {
        SCOPED_TRACE(call);
        log.clear();
        server.saved.clear();
        observer.stopAfter = call;
        MergeJob stopped(server);
        const JobOutcome outcome = stopped.Run(observer, {u"out.ppt"});
        EXPECT_THAT(log, ::testing::Not(::testing::Contains(HasSubstr("obs.Failed"))));
        EXPECT_THAT(log, ::testing::Not(::testing::Contains("obs.Completed")));
        if (std::string(call).starts_with("server.pres.SaveAs")) {
            // Saved already: the job completes, telling no one.
            EXPECT_EQ(outcome, JobOutcome::Completed);
        } else {
            EXPECT_EQ(outcome, JobOutcome::Stopped);
            EXPECT_TRUE(server.saved.empty());
            EXPECT_THAT(From(call), ::testing::Contains("server.app.Quit"));
        }
    }
}

// A staged save on the fake engine that writes files: where SaveAs writes, what the target holds
// after each way the save can end, and that nothing of ours stays beside it.
TEST_F(MergeJobTest, AStagedSaveReachesTheTargetInOneStepOrNotAtAll) {
    using Staging = SaveRequest::Staging;
    struct Case {
        const char* name;
        Staging staging;
        std::optional<std::string> before;  // the target's content before the merge
        std::string appearing;              // a file that takes the target's name meanwhile
        std::string stopAfter;
        JobOutcome outcome;
        std::optional<std::string> after;
        std::vector<FailureKind> reported{};
    };
    const std::string merged = "a1\na2\nb1\nc1\nc2\nc3\n";
    const Case cases[] = {
        {"Replaced", Staging::ReplaceExisting, "old", "", "", JobOutcome::Completed, merged},
        {"New", Staging::KeepExisting, std::nullopt, "", "", JobOutcome::Completed, merged},
        {"TakenMeanwhile",
         Staging::KeepExisting,
         std::nullopt,
         "theirs",
         "",
         JobOutcome::SaveFailed,
         "theirs",
         {FailureKind::ResultExists}},
        {"StoppedDuringTheSave", Staging::ReplaceExisting, "old", "", "server.pres.SaveAs(",
         JobOutcome::Stopped, "old"},
    };
    server.writesFiles = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        const ScratchFolder scratch;
        const std::filesystem::path target = scratch.Path() / "结果.ppt";
        if (c.before) {
            std::ofstream(target) << *c.before;
        }
        server.onCall = [&](const std::string& call) {
            if (!c.appearing.empty() && call.starts_with("pres.InsertFromFile")) {
                std::ofstream(target) << c.appearing;
            }
        };
        RecordingObserver watching{log, {u"a.pptx", u"b.odp", u"c.ppt"}};
        watching.stopAfter = c.stopAfter;
        MergeJob staged(server);
        EXPECT_EQ(staged.Run(watching, {target.u16string(), std::nullopt, c.staging}), c.outcome);
        EXPECT_EQ(FileBytesIfAny(target), c.after);
        EXPECT_EQ(watching.kinds, c.reported);
        EXPECT_EQ(NamesIn(scratch.Path()),
                  c.after ? std::vector<std::string>{"结果.ppt"} : std::vector<std::string>{});
        // Written beside the target, under its name.
        const std::string folder = (scratch.Path() / ".foliomix-save-").string();
        EXPECT_THAT(
            log, ::testing::Contains(::testing::AllOf(HasSubstr(folder), HasSubstr("/结果.ppt)"))));
        EXPECT_THAT(log, ::testing::Contains("server.app.Quit"));
    }
}

TEST_F(MergeJobTest, AStagedSaveIntoAMissingFolderFailsBeforeTheEngineStarts) {
    const ScratchFolder scratch;
    const std::u16string target = (scratch.Path() / "no" / "out.ppt").u16string();
    EXPECT_EQ(job.Run(observer, {target, std::nullopt, SaveRequest::Staging::KeepExisting}),
              JobOutcome::SaveFailed);
    EXPECT_THAT(log, ElementsAre("obs.Failed(SaveFailed,-1)"));
    EXPECT_THAT(observer.kinds, ElementsAre(FailureKind::NoSuchFolder));
}

}  // namespace
}  // namespace foliomix::testing
