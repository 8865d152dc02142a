// Slide ranges as users write them, the runs that insert them, and how they are described.
#include "merge/slide_ranges.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace foliomix::testing {
namespace {

using Runs = std::vector<SlideRun>;

TEST(SlideRangesTest, ParsesRangeListsAndRefusesAnythingElse) {
    struct Case {
        const char* text = "";
        std::optional<SlideRanges> ranges;
    };
    for (const Case& c : {
             Case{"2-5", SlideRanges{{2, 5}}},
             Case{"1,3,7-", SlideRanges{{1, 1}, {3, 3}, {7, std::nullopt}}},
             Case{"-3", SlideRanges{{1, 3}}},
             Case{"4,4,2-2", SlideRanges{{4, 4}, {4, 4}, {2, 2}}},
             Case{"2147483647", SlideRanges{{2147483647, 2147483647}}},
             Case{"", std::nullopt},
             Case{"-", std::nullopt},
             Case{"0", std::nullopt},
             Case{"0-2", std::nullopt},
             Case{"5-3", std::nullopt},
             Case{"1,,2", std::nullopt},
             Case{"1,", std::nullopt},
             Case{"1-2-3", std::nullopt},
             Case{" 1", std::nullopt},
             Case{"+1", std::nullopt},
             Case{"2147483648", std::nullopt},
             Case{"x", std::nullopt},
             Case{"1.pptx", std::nullopt},
         }) {
        EXPECT_EQ(ParseSlideRanges(c.text), c.ranges) << '"' << c.text << '"';
    }
}

TEST(SlideRangesTest, ResolvesAgainstTheDeckJoiningRangesThatFollowOnAndDescribesThem) {
    struct Case {
        const char* text = "";
        std::int32_t deckSlides = 0;
        std::optional<Runs> runs;
        const char* described = "";
    };
    for (const Case& c : {
             Case{"2-5", 12, Runs{{2, 5}}, "slides 2\u20135"},
             Case{"1,3,7-", 9, Runs{{1, 1}, {3, 3}, {7, 9}}, "slides 1, 3, 7\u20139"},
             Case{"-3", 3, Runs{{1, 3}}, "slides 1\u20133"},
             Case{"2-3,4,5-", 6, Runs{{2, 6}}, "slides 2\u20136"},
             Case{"3,3", 3, Runs{{3, 3}, {3, 3}}, "slides 3, 3"},
             Case{"4,3", 4, Runs{{4, 4}, {3, 3}}, "slides 4, 3"},
             Case{"7-", 7, Runs{{7, 7}}, "slide 7"},
             Case{"8-", 7, std::nullopt, ""},
             Case{"2-8", 7, std::nullopt, ""},
             Case{"1,9", 7, std::nullopt, ""},
             Case{"1", 0, std::nullopt, ""},
         }) {
        SCOPED_TRACE(std::string(c.text) + " of " + std::to_string(c.deckSlides));
        const auto runs = SlideRunsOf(*ParseSlideRanges(c.text), c.deckSlides);
        EXPECT_EQ(runs, c.runs);
        if (runs) {
            EXPECT_EQ(DescribeSlides(*runs), c.described);
        }
    }
}

}  // namespace
}  // namespace foliomix::testing
