#include "mergelist/merge_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/fake_window.h"

namespace foliomix::testing {
namespace {

using design::ControlId;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

using namespace std::string_literals;

struct AddCase {
    const char* name;
    std::u16string dialogResult;
    char16_t separator;
    std::vector<std::u16string> rows;
};

class AddTest : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddTest, AppendsFullPathsAndSwitchesTheButtons) {
    CallLog log;
    FakeWindow window(log);
    window.openAnswers = {{DialogOutcome::Confirmed, GetParam().dialogResult}};
    MergeList list(window, GetParam().separator);

    list.Add();

    EXPECT_THAT(window.rows, ElementsAreArray(GetParam().rows));
    EXPECT_EQ(window.openFlags, 0x81200u);
    EXPECT_FALSE(window.Enabled(ControlId::cmdAdd));
    EXPECT_TRUE(window.Enabled(ControlId::cmdUp));
    EXPECT_TRUE(window.Enabled(ControlId::cmdDown));
    EXPECT_TRUE(window.Enabled(ControlId::cmdMerge));
}

INSTANTIATE_TEST_SUITE_P(
    Results, AddTest,
    ::testing::Values(
        AddCase{"SeveralFiles",
                u"C:\\work\0a.ppt\0b.ppt"s,
                u'\\',
                {u"C:\\work\\a.ppt", u"C:\\work\\b.ppt"}},
        AddCase{"RootFolderStillGetsOneSeparator",
                u"C:\\\0a.ppt\0b.ppt"s,
                u'\\',
                {u"C:\\\\a.ppt", u"C:\\\\b.ppt"}},
        AddCase{"OneFileIsAFullPath", u"C:\\work\\only.ppt", u'\\', {u"C:\\work\\only.ppt"}},
        AddCase{"ChineseNamesKeepTheDialogOrder",
                u"D:\\资料\0第二.ppt\0第一.ppt"s,
                u'\\',
                {u"D:\\资料\\第二.ppt", u"D:\\资料\\第一.ppt"}},
        // Empty parts are kept: each still gets the folder and one separator.
        AddCase{"EmptyPartsAreKept",
                u"C:\\w\0a.ppt\0\0b.ppt"s,
                u'\\',
                {u"C:\\w\\a.ppt", u"C:\\w\\", u"C:\\w\\b.ppt"}},
        AddCase{"LinuxSeparator",
                u"/home/u/decks\0a.ppt\0b.ppt"s,
                u'/',
                {u"/home/u/decks/a.ppt", u"/home/u/decks/b.ppt"}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Add, AppendsTheFullPathOfEachNameAfterTheFolder) {
    CallLog log;
    FakeWindow window(log);
    window.openAnswers = {{DialogOutcome::Confirmed, u"C:\\w\0a.ppt\0b.ppt"s}};
    MergeList list(window, u'\\');
    list.Add();
    EXPECT_THAT(window.rows, ElementsAre(u"C:\\w\\a.ppt", u"C:\\w\\b.ppt"));
}

TEST(Add, SetsFlagsBeforeShowingAndButtonsInOrder) {
    CallLog log;
    FakeWindow window(log);
    window.openAnswers = {{DialogOutcome::Confirmed, u"C:\\w\0a.ppt"s}};
    MergeList list(window, u'\\');
    list.Add();
    EXPECT_THAT(log, ElementsAre("window.ofd.Flags=528896", "window.ofd.ShowOpen",
                                 "window.ofd.FileName", "window.AddItem(C:\\w\\a.ppt)",
                                 "window.cmdAdd.Enabled=false", "window.cmdUp.Enabled=true",
                                 "window.cmdDown.Enabled=true", "window.cmdMerge.Enabled=true"));
}

TEST(Add, CancelChangesNothingAndASecondAddWorks) {
    CallLog log;
    FakeWindow window(log);
    window.openAnswers = {{DialogOutcome::Cancelled, u""},
                          {DialogOutcome::Confirmed, u"C:\\w\0a.ppt"s}};
    MergeList list(window, u'\\');

    list.Add();
    EXPECT_TRUE(window.rows.empty());
    EXPECT_TRUE(window.Enabled(ControlId::cmdAdd));
    EXPECT_FALSE(window.Enabled(ControlId::cmdMerge));
    EXPECT_THAT(log, ElementsAre("window.ofd.Flags=528896", "window.ofd.ShowOpen"));

    log.clear();
    window.openFlags = 0;
    list.Add();
    EXPECT_THAT(window.rows, ElementsAre(u"C:\\w\\a.ppt"));
    // The flags are set again before the second showing, not left from the first.
    EXPECT_THAT(log, ::testing::IsSupersetOf({"window.ofd.Flags=528896"}));
    EXPECT_EQ(log.front(), "window.ofd.Flags=528896");
}

TEST(Add, ConfirmedButEmptyResultIsTreatedAsCancel) {
    CallLog log;
    FakeWindow window(log);
    window.openAnswers = {{DialogOutcome::Confirmed, u""}};
    MergeList list(window, u'\\');
    list.Add();
    EXPECT_TRUE(window.rows.empty());
    EXPECT_TRUE(window.Enabled(ControlId::cmdAdd));
}

struct MoveCase {
    const char* name;
    bool up;
    std::int16_t selection;
    std::vector<std::u16string> before;
    std::vector<std::u16string> after;
};

class MoveTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveTest, SwapsWithTheNeighbourAndKeepsTheSelection) {
    const MoveCase& c = GetParam();
    CallLog log;
    FakeWindow window(log);
    window.rows = c.before;
    window.selection = c.selection;
    MergeList list(window, u'\\');

    c.up ? list.MoveUp() : list.MoveDown();

    EXPECT_THAT(window.rows, ElementsAreArray(c.after));
    EXPECT_FALSE(window.Enabled(ControlId::cmdUp));  // no button state changes
    EXPECT_TRUE(window.Enabled(ControlId::cmdAdd));
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveTest,
    ::testing::Values(
        MoveCase{"UpFromMiddle", true, 1, {u"A", u"B", u"C"}, {u"B", u"A", u"C"}},
        MoveCase{"DownFromMiddle", false, 1, {u"A", u"B", u"C"}, {u"A", u"C", u"B"}},
        MoveCase{"UpFromLast", true, 2, {u"A", u"B", u"C"}, {u"A", u"C", u"B"}},
        MoveCase{"DownFromFirst", false, 0, {u"A", u"B", u"C"}, {u"B", u"A", u"C"}},
        MoveCase{"UpAtFirstDoesNothing", true, 0, {u"A", u"B", u"C"}, {u"A", u"B", u"C"}},
        MoveCase{"DownAtLastDoesNothing", false, 2, {u"A", u"B", u"C"}, {u"A", u"B", u"C"}},
        MoveCase{"UpWithoutSelection", true, -1, {u"A", u"B"}, {u"A", u"B"}},
        MoveCase{"DownWithoutSelection", false, -1, {u"A", u"B"}, {u"A", u"B"}},
        MoveCase{"UpSingleEntry", true, 0, {u"A"}, {u"A"}},
        MoveCase{"DownSingleEntry", false, 0, {u"A"}, {u"A"}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Move, TwiceInARowRestoresTheOrder) {
    for (bool up : {true, false}) {
        CallLog log;
        FakeWindow window(log);
        window.rows = {u"A", u"B", u"C"};
        window.selection = 1;
        MergeList list(window, u'\\');
        up ? list.MoveUp() : list.MoveDown();
        up ? list.MoveUp() : list.MoveDown();
        EXPECT_THAT(window.rows, ElementsAre(u"A", u"B", u"C")) << (up ? "up" : "down");
    }
}

TEST(Move, DownReadsTheSelectionBeforeTheCountAndWritesRowIFirst) {
    CallLog log;
    FakeWindow window(log);
    window.rows = {u"A", u"B"};
    window.selection = 0;
    MergeList list(window, u'\\');
    list.MoveDown();
    EXPECT_THAT(log, ElementsAre("window.ListIndex", "window.ListCount", "window.List(0)",
                                 "window.List(1)", "window.SetList(0,B)", "window.SetList(1,A)"));
}

}  // namespace
}  // namespace foliomix::testing
