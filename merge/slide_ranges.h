// Slides picked from one deck, as a user writes them: "2-5", "1,3,7-", "-3". Slides count from
// 1; a range takes its first and last slide and those between; the ranges are taken in the
// order written, so a slide may come more than once. The merge job resolves them against the
// deck's slide count once the engine has read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foliomix {

struct SlideRange {
    std::int32_t first = 1;
    std::optional<std::int32_t> last;  // none: up to the deck's last slide

    friend bool operator==(const SlideRange&, const SlideRange&) = default;
};

// Empty: every slide of the deck.
using SlideRanges = std::vector<SlideRange>;

// Comma-separated ranges, each "N", "N-M", "N-" or "-M" with 1 <= N <= M: nothing for any other
// text (an empty one, spaces, a 0, a range that runs backwards, a number past 2^31 - 1).
[[nodiscard]] std::optional<SlideRanges> ParseSlideRanges(std::string_view text);

// A run of consecutive slides of the deck, first to last, inclusive: what one insert takes.
struct SlideRun {
    std::int32_t first = 1;
    std::int32_t last = 1;

    [[nodiscard]] std::int32_t Count() const { return last - first + 1; }
    friend bool operator==(const SlideRun&, const SlideRun&) = default;
};

// The runs that insert `ranges`, in order, from a deck of `deckSlides` slides: a range that
// begins right after the one before it ends joins its run. Nothing when a range reaches past the
// deck's last slide (or a deck of no slides is asked for any).
[[nodiscard]] std::optional<std::vector<SlideRun>> SlideRunsOf(const SlideRanges& ranges,
                                                               std::int32_t deckSlides);

// The slides taken, for people: "slide 3", "slides 2–5", "slides 1, 3, 7–9".
[[nodiscard]] std::string DescribeSlides(const std::vector<SlideRun>& runs);

}  // namespace foliomix
