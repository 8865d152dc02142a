// The staged save's file system steps on Linux (POSIX).
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <optional>
#include <string>
#include <system_error>

#include "merge/staging/staging_platform.h"

namespace foliomix::staging {
namespace {

namespace fs = std::filesystem;

// The process id that `name` carries right after `prefix`, ended by `separator`.
std::optional<pid_t> PidAfter(std::string_view name, std::string_view prefix, char separator) {
    if (!name.starts_with(prefix)) {
        return std::nullopt;
    }
    name.remove_prefix(prefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || pid <= 0 || end == name.data() + name.size() || *end != separator) {
        return std::nullopt;
    }
    return pid;
}

[[noreturn]] void ThrowErrno(const fs::path& path) {
    throw std::system_error(errno, std::generic_category(), path.string());
}

// Where the file system has no rename that refuses an existing name: a second link made under
// the new name, which fails when the name is taken, then the old name dropped.
void LinkOnto(const fs::path& from, const fs::path& to) {
    if (::link(from.c_str(), to.c_str()) != 0) {
        ThrowErrno(to);
    }
    // Both names are ours now; a failure to drop the staged one leaves it to the staging
    // folder's removal.
    static_cast<void>(::unlink(from.c_str()));
}

}  // namespace

int CurrentProcessId() { return static_cast<int>(::getpid()); }

bool NamesAnEndedProcess(std::string_view name, std::string_view prefix, char separator) {
    const auto pid = PidAfter(name, prefix, separator);
    return pid && *pid != ::getpid() && ::kill(*pid, 0) != 0 && errno == ESRCH;
}

void RemoveFoldersOfEndedRuns(const fs::path& folder, std::string_view prefix) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::error_code ignored;
        if (NamesAnEndedProcess(entry.path().filename().string(), prefix, '-') &&
            entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
            fs::remove_all(entry.path(), ignored);
        }
    }
}

void HideFolder(const fs::path& /*folder*/) {}

void RenameOnto(const fs::path& from, const fs::path& to, bool replace) {
    if (replace) {
        if (::rename(from.c_str(), to.c_str()) != 0) {
            ThrowErrno(to);
        }
        return;
    }
    // One step that refuses a name taken at that moment: a check first and a rename after would
    // replace a file created between the two.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        ThrowErrno(to);
    }
    LinkOnto(from, to);
}

}  // namespace foliomix::staging
