// The one scale and the margins that fit one slide size into another, and the names given to
// masters that clash: the parts of fidelity that need no engine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "merge/impress/master_pages.h"
#include "merge/impress/slide_fitting.h"

namespace foliomix::testing {
namespace {

using impress::FitOf;
using impress::SlideSize;

struct FitCase {
    const char* name;
    SlideSize from;
    SlideSize to;
    double scale;
    double offsetX;
    double offsetY;
};

class SlideFitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(SlideFitTest, OneScaleTheSmallerRatioAndCentred) {
    const auto& c = GetParam();
    const auto fit = FitOf(c.from, c.to);
    EXPECT_NEAR(fit.scale, c.scale, 1e-9);
    EXPECT_NEAR(fit.offsetX, c.offsetX, 1e-6);
    EXPECT_NEAR(fit.offsetY, c.offsetY, 1e-6);
    // The fitted slide never leaves the target, and touches two opposite edges.
    const double width = c.from.width * fit.scale;
    const double height = c.from.height * fit.scale;
    EXPECT_LE(width + 2 * fit.offsetX, c.to.width + 1e-6);
    EXPECT_LE(height + 2 * fit.offsetY, c.to.height + 1e-6);
    EXPECT_TRUE(std::abs(width - c.to.width) < 1e-6 || std::abs(height - c.to.height) < 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SlideFitTest,
                         ::testing::Values(
                             // 16:9 into 4:3: as wide as the slide, bands above and below.
                             FitCase{"wideIntoClassic",
                                     {28000, 15750},
                                     {25400, 19050},
                                     25400.0 / 28000,
                                     0,
                                     (19050 - 15750 * (25400.0 / 28000)) / 2},
                             // 4:3 into 16:9: as high as the slide, bands left and right.
                             FitCase{"classicIntoWide",
                                     {25400, 19050},
                                     {28000, 15750},
                                     15750.0 / 19050,
                                     (28000 - 25400 * (15750.0 / 19050)) / 2,
                                     0},
                             // A smaller deck of the same shape grows to fill it all.
                             FitCase{"sameShapeSmaller", {12700, 9525}, {25400, 19050}, 2, 0, 0},
                             FitCase{"sameSize", {25400, 19050}, {25400, 19050}, 1, 0, 0},
                             // Portrait into landscape.
                             FitCase{"portrait",
                                     {19050, 25400},
                                     {25400, 19050},
                                     19050.0 / 25400,
                                     (25400 - 19050 * (19050.0 / 25400)) / 2,
                                     0}),
                         [](const ::testing::TestParamInfo<FitCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(SlideFitTest, ASizeWithoutAreaIsLeftAlone) {
    for (const SlideSize from : {SlideSize{0, 19050}, SlideSize{25400, 0}, SlideSize{-1, -1}}) {
        const auto fit = FitOf(from, {25400, 19050});
        EXPECT_EQ(fit.scale, 1.0);
        EXPECT_EQ(fit.offsetX, 0.0);
        EXPECT_EQ(fit.offsetY, 0.0);
    }
}

TEST(UniqueMasterNameTest, TakesTheFirstFreeNumberAndKeepsAFreeName) {
    const std::set<std::u16string> taken = {u"Default", u"Default 2", u"Default 4", u"标题"};
    EXPECT_EQ(impress::UniqueName(u"Default", taken), u"Default 3");
    EXPECT_EQ(impress::UniqueName(u"标题", taken), u"标题 2");
    EXPECT_EQ(impress::UniqueName(u"Other", taken), u"Other");
    EXPECT_EQ(impress::UniqueName(u"Default 2", taken), u"Default 2 2");
}

}  // namespace
}  // namespace foliomix::testing
