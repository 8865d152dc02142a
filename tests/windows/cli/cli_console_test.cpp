// foliomix-merge.exe on a console: its progress one line rewritten in place, with nothing left
// of a longer line before it, a failure on a line of its own below it, and Chinese names shown as
// such whatever the console's code page.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/windows/cli/cli_program_test.h"

namespace foliomix::cli::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

ProgramStart OnConsole(std::vector<std::wstring> arguments) {
    return {std::move(arguments), {}, {}, true, {}};
}

TEST_F(CliProgram, OnAConsoleTheProgressIsOneLineRewrittenInPlace) {
    folder.WriteDeck(L"甲乙丙丁戊己庚.ppt", {"一", "二"});
    TestConsole::Clear();
    const ProgramEnd end = Run(OnConsole({L"-o", L"结果.pptx", L"甲乙丙丁戊己庚.ppt", L"乙.pptx"}));
    EXPECT_EQ(end.exitCode, 0U);
    EXPECT_THAT(TestConsole::Lines(), ElementsAre("saving 结果.pptx", ""));
}

TEST_F(CliProgram, OnAConsoleAFailureStandsBelowTheProgressLine) {
    folder.WriteFile(L"坏.ppt", "not a deck\n");
    TestConsole::Clear();
    const ProgramEnd end = Run(OnConsole({L"-o", L"结果.pptx", L"甲.ppt", L"坏.ppt"}));
    EXPECT_EQ(end.exitCode, 4U);
    const std::vector<std::string> lines = TestConsole::Lines();
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines[0], "[2/2] 坏.ppt ...");
    EXPECT_THAT(lines[1], StartsWith("foliomix-merge: cannot insert 坏.ppt: "));
}

}  // namespace
}  // namespace foliomix::cli::testing
