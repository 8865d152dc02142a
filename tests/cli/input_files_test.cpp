// The inputs: the paths a list gives, and what keeps a path from being an input.
#include "app/cli/input_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "merge/impress/temporary_directory.h"

namespace foliomix::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;

TEST(InputListTest, OnePathALineWithoutEmptyLinesLineEndsOrByteOrderMark) {
    struct Case {
        std::string list;
        std::vector<std::string> paths;
    };
    for (const Case& c : {
             Case{"a.ppt\nb.pptx\n", {"a.ppt", "b.pptx"}},
             Case{"a.ppt\nb.pptx", {"a.ppt", "b.pptx"}},  // no line end at the end
             Case{"a.ppt\r\n\r\n\nb c.odp\r\n", {"a.ppt", "b c.odp"}},
             Case{"\xEF\xBB\xBF演示.ppt\r\n", {"演示.ppt"}},
             // A mark that does not start the list is part of a name; spaces are kept.
             Case{"a.ppt\n\xEF\xBB\xBF"
                  "b.ppt\n  c.ppt \n",
                  {"a.ppt",
                   "\xEF\xBB\xBF"
                   "b.ppt",
                   "  c.ppt "}},
             // Only the line's last CR goes.
             Case{"a.ppt\r\r\n", {"a.ppt\r"}},
             Case{"", {}},
             Case{"\n\r\n", {}},
         }) {
        std::istringstream list(c.list);
        EXPECT_THAT(ReadInputList(list), ElementsAreArray(c.paths)) << c.list;
    }
}

TEST(InputProblemTest, OnlyAnExistingReadableRegularFileIsAnInput) {
    const impress::TemporaryDirectory folder("foliomix-inputs-test-");
    const fs::path deck = folder.Path() / "演示.ppt";
    std::ofstream(deck) << "deck";
    fs::create_symlink(deck, folder.Path() / "link.ppt");
    fs::create_symlink(folder.Path() / "gone.ppt", folder.Path() / "dangling.ppt");
    ASSERT_EQ(::mkfifo((folder.Path() / "fifo.ppt").c_str(), 0600), 0);
    struct Case {
        fs::path path;
        std::optional<std::string> problem;
    };
    for (const Case& c : {
             Case{deck, std::nullopt},
             Case{folder.Path() / "link.ppt", std::nullopt},
             Case{folder.Path() / "missing.ppt", "no such file"},
             Case{folder.Path() / "dangling.ppt", "no such file"},
             Case{folder.Path(), "a folder, not a file"},
             // Opening a FIFO to read it would wait for a writer: it is refused before that.
             Case{folder.Path() / "fifo.ppt", "not a regular file"},
             Case{fs::path(), "the name is empty"},
         }) {
        EXPECT_EQ(InputProblem(c.path), c.problem) << c.path;
    }
    EXPECT_EQ(PathFromUtf8("演示.ppt"), fs::path(u8"演示.ppt"));
}

TEST(SplitSlidePicksTest, OnlyARangeListAfterTheLastAtPicksAndAnExistingNameWins) {
    const impress::TemporaryDirectory folder("foliomix-picks-test-");
    const std::string taken = (folder.Path() / "deck@2").string();
    std::ofstream(taken) << "deck";
    struct Case {
        std::string written;
        std::string file;
        SlideRanges picks;
    };
    for (const Case& c : {
             Case{"deck.pptx@2-5", "deck.pptx", {{2, 5}}},
             Case{"a@b/deck.ppt@1,3,7-", "a@b/deck.ppt", {{1, 1}, {3, 3}, {7, std::nullopt}}},
             Case{"deck.odp@-3", "deck.odp", {{1, 3}}},
             Case{"me@home.pptx", "me@home.pptx", {}},
             Case{"deck.ppt@", "deck.ppt@", {}},
             Case{"deck.ppt@0", "deck.ppt@0", {}},
             Case{"deck.ppt@5-3", "deck.ppt@5-3", {}},
             Case{"@2", "@2", {}},
             Case{taken, taken, {}},
         }) {
        const WrittenInput split = SplitSlidePicks(c.written);
        EXPECT_EQ(split.file, c.file) << c.written;
        EXPECT_EQ(split.picks, c.picks) << c.written;
    }
}

}  // namespace
}  // namespace foliomix::cli
