// Progress and messages on the standard error: on a terminal one line rewritten in place that
// never wraps and never shows what an earlier, longer line left; in a log, lines of their own.
#include "app/cli/console_output.h"

#include <gtest/gtest.h>

#include <sstream>

namespace foliomix::cli {
namespace {

struct Case {
    const char* name;
    int columns;  // 0: no terminal
    std::string expected;
};

// One session: two progress lines, something transient, a message with line breaks, one more
// progress line left open at the end.
std::string Session(int columns) {
    std::ostringstream stream;
    {
        ConsoleOutput console(stream, columns);
        console.Progress("[1/2] 演示文稿.ppt: 3 slides");
        console.Transient("[2/2] b.ppt ...");
        console.Progress("[2/2] b.ppt: 1 slide");
        console.Message("cannot save r.ppt: General Error.\nGeneral input/output error.\n");
        console.Progress("saving r.ppt");
    }
    return stream.str();
}

class ConsoleOutputTest : public ::testing::TestWithParam<Case> {};

TEST_P(ConsoleOutputTest, Renders) { EXPECT_EQ(Session(GetParam().columns), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Consoles, ConsoleOutputTest,
    ::testing::Values(
        Case{"Log", 0,
             "[1/2] 演示文稿.ppt: 3 slides\n"
             "[2/2] b.ppt: 1 slide\n"
             "foliomix-merge: cannot save r.ppt: General Error. General input/output error.\n"
             "saving r.ppt\n"},
        // Each line overwrites the last and blanks what is left of it: the Chinese characters
        // take two columns each, the first line 28 in all.
        Case{"Terminal", 80,
             "\r[1/2] 演示文稿.ppt: 3 slides"
             "\r[2/2] b.ppt ...             "
             "\r[2/2] b.ppt: 1 slide\n"
             "foliomix-merge: cannot save r.ppt: General Error. General input/output error.\n"
             "\rsaving r.ppt\n"},
        // Cut to one column less than the terminal has, never inside a character.
        Case{"NarrowTerminal", 12,
             "\r[1/2] 演示"
             "\r[2/2] b.ppt"
             "\r[2/2] b.ppt\n"
             "foliomix-merge: cannot save r.ppt: General Error. General input/output error.\n"
             "\rsaving r.pp\n"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace foliomix::cli
