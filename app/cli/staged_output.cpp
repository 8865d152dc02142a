#include "app/cli/staged_output.h"

#include <stdexcept>
#include <string>
#include <system_error>

#include "app/cli/console_platform.h"

namespace foliomix::cli {

namespace fs = std::filesystem;

StagedOutput::StagedOutput(const fs::path& output, int processId) : output_(fs::absolute(output)) {
    const std::string prefix = std::string(kStagingPrefix) + std::to_string(processId) + "-";
    // Numbered: one process may stage several outputs into one folder.
    for (unsigned number = 1;; ++number) {
        const fs::path candidate = output_.parent_path() / (prefix + std::to_string(number));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            folder_ = candidate;
            break;
        }
        // A name taken, by a folder or anything else, is passed over.
        if (error && error != std::errc::file_exists) {
            throw std::system_error(error, output_.parent_path().string());
        }
    }
    HideFolder(folder_);
    enginePath_ = folder_ / output_.filename();
}

StagedOutput::~StagedOutput() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void StagedOutput::Commit(bool replace) {
    std::error_code error;
    if (!fs::is_regular_file(enginePath_, error)) {
        throw std::runtime_error("the engine wrote no file");
    }
    try {
        RenameOnto(enginePath_, output_, replace);
    } catch (const std::system_error& e) {
        if (e.code() == std::errc::file_exists) {
            throw std::runtime_error("it exists by now, and --force was not given");
        }
        throw std::runtime_error(e.code().message());
    }
}

}  // namespace foliomix::cli
