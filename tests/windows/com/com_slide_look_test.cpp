// What a merge keeps of its decks' look through the adapter: the first deck's slide size and
// every slide's own design, each step best effort. Every step made to fail in turn leaves the
// merge as it was without that step for that file only; the decks opened to read them are
// always closed; the user's presentation is never touched, not even when it is one of the files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <regex>

#include "merge/merge_run.h"
#include "tests/unit/fake_window.h"
#include "tests/windows/com/standin_test.h"

namespace foliomix::com::testing {
namespace {

using foliomix::testing::CallLog;
using foliomix::testing::FakeWindow;
using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class SlideLook : public StandinTest {
  protected:
    // A 4:3 deck of two slides with two designs, then a 16:9 one (the format's default).
    void GivenTwoDecks() {
        first = MakeDeck(L"四比三.ppt", {"a1\t蓝色", "a2\t绿色"}, "720x540");
        const std::wstring second = MakeDeck(L"宽屏.ppt", {"b1\t红色"});
        for (const std::wstring& path : {first, second}) {
            window.rows.emplace_back(path.begin(), path.end());
        }
        out = PathOf(L"合并结果.ppt");
        window.saveAnswers = {{DialogOutcome::Confirmed, std::u16string(out.begin(), out.end())}};
    }

    // The presentations that Presentations.Open made, by number, from the log; not the user's
    // Presentation[1], which it hands back when the user has the file open.
    [[nodiscard]] std::vector<std::string> Opened() const {
        static const std::regex open(
            R"(^Presentations\.Open\(.*,-1,0,0\) -> (Presentation\[\d+\])$)");
        std::vector<std::string> opened;
        std::smatch match;
        for (const std::string& line : Log()) {
            if (std::regex_match(line, match, open) && match[1] != "Presentation[1]") {
                opened.push_back(match[1]);
            }
        }
        return opened;
    }

    // Every log line addressed to the user's presentation or to anything inside it.
    [[nodiscard]] std::vector<std::string> CallsOnTheUsersPresentation() const {
        std::vector<std::string> touching;
        for (const std::string& line : Log()) {
            for (const char* prefix :
                 {"Presentation[1].", "Slides[1].", "PageSetup[1].", "Slide[1,"}) {
                if (line.rfind(prefix, 0) == 0) {
                    touching.push_back(line);
                }
            }
        }
        return touching;
    }

    CallLog calls;
    FakeWindow window{calls};
    ComPresentationServer server;
    MergeRun run{window, server};
    std::wstring first;
    std::wstring out;
};

struct LookCase {
    const char* name;
    const char* fail;              // FOLIOMIX_STANDIN_FAIL
    bool usersFileIsTheFirstDeck;  // the user opened the 4:3 deck before the merge
    JobOutcome outcome;
    std::size_t opened;              // presentations the adapter's opens made (and must close)
    std::vector<std::string> saved;  // the result file; empty: nothing saved
};

void PrintTo(const LookCase& look, std::ostream* out) { *out << look.name; }

class SlideLookSteps : public SlideLook, public ::testing::WithParamInterface<LookCase> {};

TEST_P(SlideLookSteps, FailOnlyForTheirFileAndLeaveNothingOpen) {
    const LookCase& param = GetParam();
    GivenTwoDecks();
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", param.usersFileIsTheFirstDeck ? first : L"1");
    Control(L"FOLIOMIX_STANDIN_FAIL",
            std::wstring(param.fail, param.fail + std::strlen(param.fail)));

    EXPECT_EQ(run.Run(), param.outcome);

    if (param.saved.empty()) {
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(out)));
    } else {
        EXPECT_THAT(ReadDeckLines(out), ElementsAreArray(param.saved));
    }
    // Each deck opened to be read was closed by us, at the latest by the Quit.
    const std::vector<std::string> opened = Opened();
    EXPECT_EQ(opened.size(), param.opened);
    for (const std::string& presentation : opened) {
        EXPECT_THAT(Log(), Contains(presentation + ".Close()"));
    }
    EXPECT_THAT(CallsOnTheUsersPresentation(), IsEmpty());
    EXPECT_THAT(Log(), Not(Contains(HasSubstr("Engine.Discarded"))));
    EXPECT_THAT(Log(), Not(Contains("Application.Quit()")));
    Control(L"FOLIOMIX_STANDIN_FAIL", L"");
    EXPECT_EQ(EnginePresentationCount(), 1);  // the user's, and nothing of ours
}

const std::vector<std::string> kAllKept = {"FOLIOMIX-STANDIN-DECK 720x540", "a1\t蓝色", "a2\t绿色",
                                           "b1\t红色"};
const std::vector<std::string> kFirstAsBefore = {
    "FOLIOMIX-STANDIN-DECK 960x540", "a1\tOffice Theme", "a2\tOffice Theme", "b1\t红色"};
const std::vector<std::string> kSizeAsBefore = {"FOLIOMIX-STANDIN-DECK 960x540", "a1\t蓝色",
                                                "a2\t绿色", "b1\t红色"};
const std::vector<std::string> kFirstDesignsAsBefore = {
    "FOLIOMIX-STANDIN-DECK 720x540", "a1\tOffice Theme", "a2\tOffice Theme", "b1\t红色"};

INSTANTIATE_TEST_SUITE_P(
    EveryStep, SlideLookSteps,
    ::testing::Values(
        LookCase{"AllKept", "", false, JobOutcome::Completed, 2, kAllKept},
        LookCase{"FirstOpenFails", "Presentations.Open#1", false, JobOutcome::Completed, 1,
                 kFirstAsBefore},
        // The second deck comes into a result that has slides: its size never counts.
        LookCase{"SecondOpenFails",
                 "Presentations.Open#2",
                 false,
                 JobOutcome::Completed,
                 1,
                 {"FOLIOMIX-STANDIN-DECK 720x540", "a1\t蓝色", "a2\t绿色", "b1\tOffice Theme"}},
        LookCase{"HeldPresentationsUnreadable", "Presentations.Item#1", false,
                 JobOutcome::Completed, 1, kFirstAsBefore},
        LookCase{"SourceSizeUnreadable", "PageSetup.SlideHeight.get", false, JobOutcome::Completed,
                 2, kSizeAsBefore},
        LookCase{"WidthRefused", "PageSetup.SlideWidth.put", false, JobOutcome::Completed, 2,
                 kSizeAsBefore},
        // The width was taken: it is put back, no slide is 720 wide and 540 high by halves.
        LookCase{"HeightRefused", "PageSetup.SlideHeight.put", false, JobOutcome::Completed, 2,
                 kSizeAsBefore},
        LookCase{"DesignUnreadable", "Slide.Design.get#1", false, JobOutcome::Completed, 2,
                 kFirstDesignsAsBefore},
        LookCase{"SourceSlideUnreadable", "Slides.Item#1", false, JobOutcome::Completed, 2,
                 kFirstDesignsAsBefore},
        // The first slide has its design already; the rest of that file keeps the result's.
        LookCase{"SecondDesignRefused",
                 "Slide.Design.put#2",
                 false,
                 JobOutcome::Completed,
                 2,
                 {"FOLIOMIX-STANDIN-DECK 720x540", "a1\t蓝色", "a2\tOffice Theme", "b1\t红色"}},
        // The first deck's close fails: it stays ours, and the Quit closes it.
        LookCase{"SourceCloseFails", "Presentation.Close#1", false, JobOutcome::Completed, 2,
                 kAllKept},
        // The insert itself fails: the merge fails as it always did, the deck is closed.
        LookCase{"InsertFails", "Slides.InsertFromFile#1", false, JobOutcome::InsertFailed, 1, {}},
        // The engine hands back the user's own presentation of that file: not read, not closed.
        LookCase{"UsersOwnFile", "", true, JobOutcome::Completed, 1, kFirstAsBefore}),
    [](const ::testing::TestParamInfo<LookCase>& tested) {
        return std::string(tested.param.name);
    });

// A deck that will not close is ours: an engine that holds nothing else is still ended, its
// leftovers with it; an engine that also holds the user's presentation keeps running.
struct StuckCloseCase {
    const char* name;
    bool userPresentation;
    bool ended;
};

void PrintTo(const StuckCloseCase& stuck, std::ostream* out) { *out << stuck.name; }

class SlideLookStuckClose : public SlideLook,
                            public ::testing::WithParamInterface<StuckCloseCase> {};

TEST_P(SlideLookStuckClose, CountsTheDeckAsOurs) {
    GivenTwoDecks();
    if (GetParam().userPresentation) {
        Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
    }
    Control(L"FOLIOMIX_STANDIN_FAIL", L"Presentation.Close");
    EXPECT_EQ(run.Run(), JobOutcome::Completed);
    EXPECT_THAT(ReadDeckLines(out), ElementsAreArray(kAllKept));
    EXPECT_THAT(Log(), Not(Contains(HasSubstr(",user,"))));
    if (GetParam().ended) {
        EXPECT_THAT(Log(), Contains("Engine.End()"));
    } else {
        EXPECT_THAT(Log(), Not(Contains("Application.Quit()")));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryEngine, SlideLookStuckClose,
                         ::testing::Values(StuckCloseCase{"OwnEngine", false, true},
                                           StuckCloseCase{"UsersEngine", true, false}),
                         [](const ::testing::TestParamInfo<StuckCloseCase>& tested) {
                             return std::string(tested.param.name);
                         });

}  // namespace
}  // namespace foliomix::com::testing
