#include "merge/staging/staged_result.h"

#include <string>
#include <system_error>

#include "merge/presentation_server.h"
#include "merge/staging/staging_platform.h"

namespace foliomix {
namespace {

namespace fs = std::filesystem;

// The command line's staging folders of earlier versions, swept as well.
constexpr std::string_view kEarlierStagingPrefix = ".foliomix-merge-";

// The longest name the engine is handed as it is: a file system takes 255 bytes (Linux) or
// UTF-16 units (Windows) per name, and LibreOffice's lock file ".~lock.<name>#" adds 8.
constexpr std::size_t kLongestEngineName = 255 - 8;

// What a failed file system step says to the user.
FailureKind KindOf(const std::error_code& error) {
    const std::error_condition condition = error.default_error_condition();
    if (condition == std::errc::no_such_file_or_directory ||
        condition == std::errc::not_a_directory) {
        return FailureKind::NoSuchFolder;
    }
    if (condition == std::errc::permission_denied ||
        condition == std::errc::operation_not_permitted ||
        condition == std::errc::read_only_file_system) {
        return FailureKind::PermissionDenied;
    }
    if (condition == std::errc::no_space_on_device) {
        return FailureKind::DiskFull;
    }
    if (condition == std::errc::file_exists) {
        return FailureKind::ResultExists;
    }
    return FailureKind::Other;
}

// A path for a message, in UTF-8 whatever the platform's own encoding.
std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

fs::path EngineName(const fs::path& target) {
    fs::path name = target.filename();
    if (name.native().size() <= kLongestEngineName) {
        return name;
    }
    return fs::path("result").concat(target.extension().native());
}

}  // namespace

StagedResult::StagedResult(const fs::path& target) : target_(fs::absolute(target)) {
    const fs::path folder = target_.parent_path();
    staging::RemoveFoldersOfEndedRuns(folder, kStagingPrefix);
    staging::RemoveFoldersOfEndedRuns(folder, kEarlierStagingPrefix);
    const std::string prefix =
        std::string(kStagingPrefix) + std::to_string(staging::CurrentProcessId()) + "-";
    // Numbered: one process may stage several results into one folder.
    for (unsigned number = 1; folder_.empty(); ++number) {
        const fs::path candidate = folder / (prefix + std::to_string(number));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            folder_ = candidate;
        } else if (error && error != std::errc::file_exists) {
            // A name taken, by a folder or anything else, is passed over; any other failure ends.
            throw ServerError("cannot write into " + Utf8(folder) + ": " + error.message(),
                              KindOf(error));
        }
    }
    staging::HideFolder(folder_);
    enginePath_ = folder_ / EngineName(target_);
}

StagedResult::~StagedResult() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void StagedResult::Commit(ExistingFile existing) {
    std::error_code error;
    if (!fs::is_regular_file(enginePath_, error)) {
        throw ServerError("the engine wrote no file");
    }
    try {
        staging::RenameOnto(enginePath_, target_, existing == ExistingFile::Replace);
    } catch (const std::system_error& e) {
        throw ServerError(e.what(), KindOf(e.code()));
    }
}

}  // namespace foliomix
