#include "merge/slide_ranges.h"

#include <limits>

namespace foliomix {
namespace {

// A slide number: decimal digits only, at least 1, within int32.
std::optional<std::int32_t> SlideNumber(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return std::nullopt;
        }
    }
    if (value < 1) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::optional<SlideRange> ParseRange(std::string_view text) {
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        const auto slide = SlideNumber(text);
        if (!slide) {
            return std::nullopt;
        }
        return SlideRange{*slide, *slide};
    }
    const std::string_view from = text.substr(0, dash);
    const std::string_view to = text.substr(dash + 1);
    if (from.empty() && to.empty()) {
        return std::nullopt;
    }
    SlideRange range;
    if (!from.empty()) {
        const auto first = SlideNumber(from);
        if (!first) {
            return std::nullopt;
        }
        range.first = *first;
    }
    if (!to.empty()) {
        // A second dash makes `to` no number.
        range.last = SlideNumber(to);
        if (!range.last || *range.last < range.first) {
            return std::nullopt;
        }
    }
    return range;
}

}  // namespace

std::optional<SlideRanges> ParseSlideRanges(std::string_view text) {
    SlideRanges ranges;
    while (true) {
        const std::size_t comma = text.find(',');
        const auto range = ParseRange(text.substr(0, comma));
        if (!range) {
            return std::nullopt;
        }
        ranges.push_back(*range);
        if (comma == std::string_view::npos) {
            return ranges;
        }
        text.remove_prefix(comma + 1);
    }
}

std::optional<std::vector<SlideRun>> SlideRunsOf(const SlideRanges& ranges,
                                                 std::int32_t deckSlides) {
    std::vector<SlideRun> runs;
    for (const SlideRange& range : ranges) {
        const SlideRun run{range.first, range.last.value_or(deckSlides)};
        if (run.first > deckSlides || run.last > deckSlides) {
            return std::nullopt;
        }
        if (!runs.empty() && runs.back().last + 1 == run.first) {
            runs.back().last = run.last;
        } else {
            runs.push_back(run);
        }
    }
    return runs;
}

std::string DescribeSlides(const std::vector<SlideRun>& runs) {
    const bool one = runs.size() == 1 && runs.front().Count() == 1;
    std::string text = one ? "slide " : "slides ";
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i > 0) {
            text += ", ";
        }
        text += std::to_string(runs[i].first);
        if (runs[i].last != runs[i].first) {
            text += "\u2013";  // an en dash, as a range is printed
            text += std::to_string(runs[i].last);
        }
    }
    return text;
}

}  // namespace foliomix
