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

namespace foliomix::cli {

// The paths of a list: UTF-8, one per line, in order. Empty lines are skipped; a line's
// trailing CR (a list written on Windows) and a UTF-8 byte order mark at the start of the list
// (as Windows editors write one) are not part of any path.
[[nodiscard]] std::vector<std::string> ReadInputList(std::istream& list);

// A path given as UTF-8, in the platform's own form, and back.
[[nodiscard]] std::filesystem::path PathFromUtf8(std::string_view path);
[[nodiscard]] std::string PathToUtf8(const std::filesystem::path& path);

// What keeps `path` from being an input, or nothing when it is an existing regular file (a link
// to one counts) that this process can read.
[[nodiscard]] std::optional<std::string> InputProblem(const std::filesystem::path& path);

}  // namespace foliomix::cli
