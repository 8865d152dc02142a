#include "app/cli/input_files.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <system_error>

namespace foliomix::cli {

namespace fs = std::filesystem;

std::vector<std::string> ReadInputList(std::istream& list) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::vector<std::string> paths;
    bool first = true;
    for (std::string line; std::getline(list, line); first = false) {
        if (first && line.starts_with(kByteOrderMark)) {
            line.erase(0, kByteOrderMark.size());
        }
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        if (!line.empty()) {
            paths.push_back(std::move(line));
        }
    }
    return paths;
}

WrittenInput SplitSlidePicks(const std::string& written) {
    const std::size_t at = written.rfind('@');
    if (at == std::string::npos || at == 0) {
        return {written, {}};
    }
    auto picks = ParseSlideRanges(std::string_view(written).substr(at + 1));
    std::error_code error;
    if (!picks || fs::exists(PathFromUtf8(written), error)) {
        return {written, {}};
    }
    return {written.substr(0, at), std::move(*picks)};
}

fs::path PathFromUtf8(std::string_view path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string PathToUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::optional<std::string> InputProblem(const fs::path& path) {
    if (path.empty()) {
        return "the name is empty";
    }
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        return "no such file";
    }
    if (error) {
        return error.message();
    }
    if (status.type() == fs::file_type::directory) {
        return "a folder, not a file";
    }
    if (status.type() != fs::file_type::regular) {
        return "not a regular file";
    }
    // Opening it is the one test of the right to read that every platform answers alike.
    errno = 0;
    if (!std::ifstream(path, std::ios::binary).is_open()) {
        return errno != 0 ? std::string("cannot be read: ") + std::strerror(errno)
                          : std::string("cannot be read");
    }
    // The engine is handed names in UTF-16: a name that has none (bytes that are no UTF-8)
    // could not reach it.
    try {
        static_cast<void>(path.u16string());
    } catch (const std::exception&) {
        return "the name is not UTF-8";
    }
    return std::nullopt;
}

}  // namespace foliomix::cli
