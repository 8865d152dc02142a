#include "merge/impress/engine_location.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <system_error>
#include <vector>

#ifndef FOLIOMIX_LO_PROGRAM_DIR
#define FOLIOMIX_LO_PROGRAM_DIR "/usr/lib/libreoffice/program"
#endif

namespace foliomix::impress {

bool IsExecutable(const std::filesystem::path& path) {
    return ::access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path);
}

std::filesystem::path BuiltAgainstProgramFolder() { return FOLIOMIX_LO_PROGRAM_DIR; }

std::string FindInstalledEngine() {
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
    for (const auto& candidate : candidates) {
        if (IsExecutable(candidate)) {
            return candidate.string();
        }
    }
    return {};
}

}  // namespace foliomix::impress
