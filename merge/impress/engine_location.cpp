#include "merge/impress/engine_location.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#ifndef FOLIOMIX_LO_PROGRAM_DIR
#define FOLIOMIX_LO_PROGRAM_DIR "/usr/lib/libreoffice/program"
#endif

namespace foliomix::impress {

bool IsExecutable(const std::filesystem::path& path) {
    return ::access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path);
}

std::filesystem::path BuiltAgainstProgramFolder() { return FOLIOMIX_LO_PROGRAM_DIR; }

std::optional<std::filesystem::path> EngineNamedBy(const std::filesystem::path& given) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(given, error);
    if (error || given.empty()) {
        return std::nullopt;
    }
    std::vector<std::filesystem::path> candidates;
    if (std::filesystem::is_directory(real, error)) {
        candidates = {real / "soffice.bin", real / "program" / "soffice.bin"};
    } else if (real.filename() == "soffice" || real.filename() == "soffice.bin") {
        candidates = {real.parent_path() / "soffice.bin"};
    }
    for (const auto& candidate : candidates) {
        if (IsExecutable(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

namespace {

// The numbers of a version ("25.2" → {25, 2}); compared as numbers, so that 25.2 is newer than
// 7.6.
std::vector<int> VersionNumbers(std::string_view text) {
    std::vector<int> numbers;
    int current = -1;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            current = (current < 0 ? 0 : current * 10) + (c - '0');
        } else if (current >= 0) {
            numbers.push_back(current);
            current = -1;
        }
    }
    if (current >= 0) {
        numbers.push_back(current);
    }
    return numbers;
}

}  // namespace

std::vector<std::filesystem::path> PackagedEngines(const std::filesystem::path& root) {
    constexpr std::string_view kPrefix = "libreoffice";
    std::vector<std::pair<std::vector<int>, std::filesystem::path>> found;
    std::error_code error;
    for (auto entry = std::filesystem::directory_iterator(root, error);
         !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.starts_with(kPrefix) && IsExecutable(entry->path() / "program" / "soffice.bin")) {
            found.emplace_back(VersionNumbers(std::string_view(name).substr(kPrefix.size())),
                               entry->path() / "program");
        }
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::filesystem::path> folders;
    folders.reserve(found.size());
    for (auto& each : found) {
        folders.push_back(std::move(each.second));
    }
    return folders;
}

std::string FindInstalledEngine() {
    if (const char* named = std::getenv(kEngineVariable); named != nullptr && *named != '\0') {
        const auto engine = EngineNamedBy(named);
        return engine ? engine->string() : std::string();
    }
    std::vector<std::filesystem::path> candidates;
    // soffice on PATH is usually a link or a script beside soffice.bin.
    if (const char* pathVariable = std::getenv("PATH")) {
        std::string_view rest(pathVariable);
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::filesystem::path folder(std::string(rest.substr(0, colon)));
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
            std::error_code error;
            const std::filesystem::path soffice = folder / "soffice";
            if (folder.empty() || !std::filesystem::exists(soffice, error)) {
                continue;
            }
            const std::filesystem::path real = std::filesystem::canonical(soffice, error);
            if (!error) {
                candidates.push_back(real.parent_path() / "soffice.bin");
            }
        }
    }
    candidates.emplace_back(BuiltAgainstProgramFolder() / "soffice.bin");
    for (const auto& folder : PackagedEngines("/opt")) {
        candidates.push_back(folder / "soffice.bin");
    }
    for (const auto& candidate : candidates) {
        if (IsExecutable(candidate)) {
            return candidate.string();
        }
    }
    return {};
}

}  // namespace foliomix::impress
