// The translation of the dialogs' design settings to Qt, and of Qt's chosen files back to the
// result form the merge list splits.
#include "app/qt/file_dialog_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mergelist/merge_list.h"
#include "tests/qt/widget_driver.h"

namespace foliomix::qt {
namespace {

struct FilterCase {
    std::u16string_view filter;
    QStringList expected;
};

TEST(NameFilters, PairsBecomeQtFilters) {
    const std::vector<FilterCase> cases = {
        {u"*.ppt|*.ppt", {"*.ppt"}},
        {u"演示文稿|*.ppt", {"演示文稿 (*.ppt)"}},
        {u"Decks|*.ppt;*.pps|All|*.*", {"Decks (*.ppt *.pps)", "All (*.*)"}},
        {u"Decks|*.ppt|dangling", {"Decks (*.ppt)"}},
        {u"", {}},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(
            QStringView(c.filter.data(), qsizetype(c.filter.size())).toString().toStdString());
        EXPECT_EQ(NameFilters(c.filter), c.expected);
    }
}

TEST(OpenFileMode, FollowsTheOptionBits) {
    EXPECT_EQ(OpenFileMode(kAddOpenFlags), QFileDialog::ExistingFiles);
    EXPECT_EQ(OpenFileMode(kOpenFlagAllowMultiSelect), QFileDialog::ExistingFiles);
    EXPECT_EQ(OpenFileMode(kOpenFlagExplorer | kOpenFlagFileMustExist), QFileDialog::ExistingFile);
    EXPECT_EQ(OpenFileMode(0), QFileDialog::AnyFile);
}

struct ResultCase {
    const char* name;
    QStringList chosen;
    std::u16string expected;
};

TEST(OpenResult, OneFileIsItsPathSeveralAreFolderThenNulSeparatedNames) {
    const std::vector<ResultCase> cases = {
        {"none", {}, u""},
        {"one", {"/home/u/a.ppt"}, u"/home/u/a.ppt"},
        {"several keep their order",
         {"/home/u/c.ppt", "/home/u/a.ppt"},
         std::u16string(u"/home/u\0c.ppt\0a.ppt", 19)},
        {"Chinese names",
         {"/数据/第一.ppt", "/数据/第二.ppt"},
         std::u16string(u"/数据\0第一.ppt\0第二.ppt", 17)},
        {"in the root folder", {"/a.ppt", "/b.ppt"}, std::u16string(u"/\0a.ppt\0b.ppt", 13)},
        {"two folders share their parent",
         {"/d/x/a.ppt", "/d/y/b.ppt"},
         std::u16string(u"/d\0x/a.ppt\0y/b.ppt", 18)},
        {"a folder name that only starts alike",
         {"/d/ab/a.ppt", "/d/a/b.ppt"},
         std::u16string(u"/d\0ab/a.ppt\0a/b.ppt", 19)},
        {"nothing shared but the root",
         {"/x/a.ppt", "/y/b.ppt"},
         std::u16string(u"/\0x/a.ppt\0y/b.ppt", 17)},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OpenResult(c.chosen), c.expected);
    }
}

// The list counts its rows in 16 bits: a choice of more files than that is not taken.
TEST(FitsTheList, UpToTheLargestRowCount) {
    EXPECT_TRUE(FitsTheList(1));
    EXPECT_TRUE(FitsTheList(32767));
    EXPECT_FALSE(FitsTheList(32768));
}

// Whatever the folders, the merge list rebuilds every chosen path from the result.
TEST(OpenResult, MergeListRebuildsEveryPath) {
    const QStringList chosen = {"/d/x/a.ppt", "/d/y/b.ppt", "/d/c.ppt"};
    const std::vector<std::u16string> parts = SplitAtNul(OpenResult(chosen));
    ASSERT_EQ(parts.size(), 4U);
    for (qsizetype i = 0; i < chosen.size(); ++i) {
        EXPECT_EQ(parts[0] + u'/' + parts[static_cast<std::size_t>(i) + 1],
                  chosen[i].toStdU16String());
    }
}

}  // namespace
}  // namespace foliomix::qt
