#include "tests/support/files.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "tests/support/utf8.h"

namespace foliomix::testing {

std::optional<std::string> FileBytesIfAny(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        return std::nullopt;
    }
    try {
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        // A read that fails whatever the stream's exception mask: a file of /proc whose process
        // ended between the open and the read.
        return std::nullopt;
    }
}

std::string FileBytes(const std::filesystem::path& file) {
    return FileBytesIfAny(file).value_or(std::string());
}

std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (auto entry = std::filesystem::directory_iterator(folder, error);
         !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        names.push_back(Utf8OfPath(entry->path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace foliomix::testing
