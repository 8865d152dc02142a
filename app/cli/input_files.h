// The inputs of a merge: the paths of an input list, and whether a path names a file the engine
// can be given. Both are checked before the engine starts, so that a typing error costs no
// engine start and every bad input is named at once.
#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "merge/slide_ranges.h"

namespace foliomix::cli {

// The paths of a list: UTF-8, one per line, in order. Empty lines are skipped; a line's
// trailing CR (a list written on Windows) and a UTF-8 byte order mark at the start of the list
// (as Windows editors write one) are not part of any path.
[[nodiscard]] std::vector<std::string> ReadInputList(std::istream& list);

// An input as written: "deck.pptx@2-5,7" names deck.pptx and picks its slides 2 to 5 and 7.
// What follows the last "@" picks slides only when it is a list of slide ranges
// (merge/slide_ranges.h) and the whole text names no existing file: otherwise the text is a
// plain name, "@" and all.
struct WrittenInput {
    std::string file;   // UTF-8
    SlideRanges picks;  // empty: every slide
};
[[nodiscard]] WrittenInput SplitSlidePicks(const std::string& written);

// A path given as UTF-8, in the platform's own form, and back.
[[nodiscard]] std::filesystem::path PathFromUtf8(std::string_view path);
[[nodiscard]] std::string PathToUtf8(const std::filesystem::path& path);

// What keeps `path` from being an input, or nothing when it is an existing regular file (a link
// to one counts) that this process can read.
[[nodiscard]] std::optional<std::string> InputProblem(const std::filesystem::path& path);

}  // namespace foliomix::cli
