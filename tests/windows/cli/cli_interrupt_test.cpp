// Ctrl-C typed at the console while the engine holds up a call: the call is given up, the
// engine ended as after any failure (a user's engine keeps its presentation, its alerts and
// runs on), nothing is saved and nothing of ours is left, and the program ends with 130.
// Wine fails a cancelled call only once the engine has answered it: the stand-in blocks for a
// bounded time here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/windows/cli/cli_program_test.h"

namespace foliomix::cli::testing {
namespace {

using ::testing::EndsWith;
using ::testing::IsEmpty;

TEST_F(CliProgram, CtrlCDuringABlockedCallEndsTheEngineAndSavesNothing) {
    struct Case {
        const char* name;
        bool usersEngine;
    };
    for (const Case& c : {Case{"OwnEngine", false}, Case{"UsersEngine", true}}) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder.LogPath());
        ProgramStart start{{L"-o", L"结果.pptx", L"甲.ppt", L"乙.pptx", L"丙.odp"},
                           {},
                           {{L"FOLIOMIX_STANDIN_OUT_OF_APARTMENT", L"1"},
                            {L"FOLIOMIX_STANDIN_BLOCK", L"Slides.InsertFromFile#2"},
                            {L"FOLIOMIX_STANDIN_BLOCK_MS", L"2000"}},
                           false,
                           [this] { return LogHas("Engine.Blocked("); }};
        if (c.usersEngine) {
            start.environment.emplace_back(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");
        }
        const ProgramEnd end = Run(start);

        ASSERT_TRUE(end.interrupted);
        EXPECT_EQ(end.exitCode, 130U) << end.error;
        EXPECT_THAT(end.error, EndsWith("foliomix-merge: interrupted\n"));
        EXPECT_EQ(folder.Names(), decks);
        EXPECT_FALSE(LogHas(".SaveAs("));
        // What the engine was asked after the block: everything we opened closed, the alerts
        // put back, and an end only for an engine that holds nothing of the user's.
        const std::vector<std::string> log = folder.Log();
        const auto blocked = std::find_if(log.begin(), log.end(), [](const std::string& line) {
            return line.starts_with("Engine.Blocked(");
        });
        const std::vector<std::string> after(blocked, log.end());
        const std::string result = c.usersEngine ? "Presentation[2]" : "Presentation[1]";
        EXPECT_THAT(after, ::testing::Contains(result + ".Close()"));
        EXPECT_THAT(after, ::testing::Contains("Application.DisplayAlerts.put(true)"));
        EXPECT_THAT(LogLinesWith("Engine.Discarded("), IsEmpty());
        EXPECT_EQ(LogHas("Application.Quit()"), !c.usersEngine);
        EXPECT_EQ(LogHas("Engine.End()"), !c.usersEngine);
        if (c.usersEngine) {
            EXPECT_FALSE(LogHas("Presentation[1].Close()"));
        }
    }
}

}  // namespace
}  // namespace foliomix::cli::testing
