#include "merge/impress/result_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "merge/impress/engine_leftovers.h"
#include "merge/presentation_server.h"

namespace foliomix::impress {

namespace fs = std::filesystem;

namespace {

// Hidden, and recognisable as ours by anyone who finds one.
constexpr std::string_view kSaveFolderPrefix = ".foliomix-save-";

// What a failed file system call's error says to the user.
FailureKind KindOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return FailureKind::PermissionDenied;
        case ENOSPC:
        case EDQUOT:
            return FailureKind::DiskFull;
        default:
            return FailureKind::Other;
    }
}

}  // namespace

std::string SaveFolderPrefix() {
    return std::string(kSaveFolderPrefix) + std::to_string(::getpid()) + "-";
}

ResultFile::ResultFile(fs::path target) : target_(std::move(target)) {
    const fs::path folder = target_.parent_path().empty() ? fs::path(".") : target_.parent_path();
    RemoveFoldersOfEndedRuns(folder, kSaveFolderPrefix);
    std::string pattern = (folder / (SaveFolderPrefix() + "XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) {
        const int error = errno;
        throw ServerError("cannot save into " + folder.string() + ": " + std::strerror(error),
                          KindOf(error));
    }
    folder_ = fs::path(buffer.data());
    enginePath_ = folder_ / fs::path("result").concat(target_.extension().native());
}

ResultFile::~ResultFile() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void ResultFile::Commit() {
    std::error_code error;
    if (!fs::is_regular_file(enginePath_, error)) {
        throw ServerError("the engine wrote no file for " + target_.string());
    }
    fs::rename(enginePath_, target_, error);
    if (error) {
        throw ServerError("cannot replace " + target_.string() + ": " + error.message(),
                          KindOf(error.value()));
    }
}

}  // namespace foliomix::impress
