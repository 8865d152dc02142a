// Reading what a test left on disk: a file's bytes, a folder's names.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace foliomix::testing {

// A file's whole content, or nothing when it cannot be opened or read.
[[nodiscard]] std::optional<std::string> FileBytesIfAny(const std::filesystem::path& file);
// A file's whole content; empty when it cannot be opened.
[[nodiscard]] std::string FileBytes(const std::filesystem::path& file);
// The names in `folder`, hidden ones included, as UTF-8 and sorted; none when it cannot be
// read.
[[nodiscard]] std::vector<std::string> NamesIn(const std::filesystem::path& folder);

}  // namespace foliomix::testing
