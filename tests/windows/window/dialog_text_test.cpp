// The text forms of the file dialogs: the design's filter as the dialog takes it, and the
// dialog's result as the core takes it. (Form1's pixel geometry is the shared design code's,
// tested in tests/unit/form_geometry_test.cpp.)
#include "app/win32/dialog_text.h"

#include <gtest/gtest.h>

#include <string>

namespace foliomix::win32 {
namespace {

struct FilterCase {
    std::u16string design;
    std::u16string dialog;
};

TEST(DialogFilter, EveryBarBecomesANulAndTheListEndsWithTwo) {
    const FilterCase cases[] = {
        {u"*.ppt|*.ppt", std::u16string(u"*.ppt\0*.ppt\0\0", 13)},
        {u"演示文稿|*.ppt|全部|*.*", std::u16string(u"演示文稿\0*.ppt\0全部\0*.*\0\0", 19)},
        {u"", std::u16string(u"\0\0", 2)},
    };
    for (const FilterCase& c : cases) {
        EXPECT_EQ(DialogFilter(c.design), c.dialog);
    }
}

struct ResultCase {
    const char* what;
    std::u16string buffer;
    bool severalFiles;
    std::u16string result;
};

TEST(DialogResult, ExplorerListsBecomeFolderNulNamesWithoutTrailingNul) {
    const ResultCase cases[] = {
        {"several files", std::u16string(u"C:\\文件\0甲.ppt\0乙.ppt\0\0\0\0", 22), true,
         std::u16string(u"C:\\文件\0甲.ppt\0乙.ppt", 17)},
        {"one file", std::u16string(u"C:\\文件\\甲.ppt\0\0\0", 14), true, u"C:\\文件\\甲.ppt"},
        {"a root folder", std::u16string(u"C:\\\0a.ppt\0\0", 11), true,
         std::u16string(u"C:\\\0a.ppt", 9)},
        {"cancelled, empty buffer", std::u16string(u"\0\0\0", 3), true, u""},
        {"save dialog: up to the first NUL", std::u16string(u"D:\\结果.ppt\0stale\0\0", 18), false,
         u"D:\\结果.ppt"},
        {"no NUL at all", u"C:\\a.ppt", true, u"C:\\a.ppt"},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DialogResult(c.buffer, c.severalFiles), c.result);
    }
}

}  // namespace
}  // namespace foliomix::win32
