// Form1's pixel geometry at several densities, and the text forms of the file dialogs.
#include <gtest/gtest.h>

#include <string>

#include "app/win32/dialog_text.h"
#include "app/win32/window_layout.h"

namespace foliomix::win32 {
namespace {

using design::Control;
using design::ControlId;

struct LayoutCase {
    int dpi;
    int clientWidth, clientHeight;
    PixelRect list;      // inside the frame: moved by the frame's own offset
    PixelRect cmdMerge;  // on the window directly
    PixelRect sb;
};

class LayoutAtDensity : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutAtDensity, ControlsStandAtTheirTwipsScaledToTheDensity) {
    const LayoutCase& c = GetParam();
    const PixelRect client = ClientAreaPixels(c.dpi);
    EXPECT_EQ(client.width, c.clientWidth);
    EXPECT_EQ(client.height, c.clientHeight);
    auto expectRect = [](const PixelRect& actual, const PixelRect& expected) {
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.width, expected.width);
        EXPECT_EQ(actual.height, expected.height);
    };
    expectRect(ControlPixels(Control(ControlId::list), c.dpi), c.list);
    expectRect(ControlPixels(Control(ControlId::cmdMerge), c.dpi), c.cmdMerge);
    const PixelRect sb = ControlPixels(Control(ControlId::sb), c.dpi);
    expectRect(sb, c.sb);
    // The status bar closes off the client area exactly, whatever the rounding.
    EXPECT_EQ(sb.top + sb.height, client.height);
    EXPECT_EQ(sb.width, client.width);
}

INSTANTIATE_TEST_SUITE_P(
    Densities, LayoutAtDensity,
    ::testing::Values(
        LayoutCase{96, 446, 320, {32, 40, 297, 160}, {80, 248, 105, 41}, {0, 303, 446, 17}},
        LayoutCase{144, 669, 480, {48, 60, 446, 240}, {120, 372, 158, 62}, {0, 455, 669, 25}},
        LayoutCase{192, 892, 640, {64, 80, 594, 320}, {160, 496, 210, 82}, {0, 606, 892, 34}},
        // 120 dpi: 1.25 px per 96-dpi pixel; each edge rounded on its own.
        LayoutCase{120, 558, 400, {40, 50, 371, 200}, {100, 310, 131, 51}, {0, 379, 558, 21}}),
    [](const ::testing::TestParamInfo<LayoutCase>& param) {
        return std::to_string(param.param.dpi) + "dpi";
    });

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
