// The command line's platform on Linux (POSIX).
#include <fcntl.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "app/cli/console_platform.h"
#include "app/cli/staged_output.h"
#include "merge/impress/engine_leftovers.h"

namespace foliomix::cli {

std::vector<std::string> Utf8Arguments(int argc, char* argv[]) {
    // Names are bytes here, UTF-8 by convention: passed on as they are.
    return {argv + std::min(argc, 1), argv + argc};
}

int StandardErrorTerminalColumns() {
    if (::isatty(STDERR_FILENO) != 1) {
        return 0;
    }
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return 80;  // a terminal that does not tell: the classic width
    }
    return size.ws_col;
}

int CurrentProcessId() { return static_cast<int>(::getpid()); }

void RemoveStagingOfEndedRuns(const std::filesystem::path& folder) {
    // The same rule as the engine adapter's own save folders: "<prefix><pid>-…".
    impress::RemoveFoldersOfEndedRuns(folder, kStagingPrefix);
}

void HideFolder(const std::filesystem::path& /*folder*/) {}

namespace {

[[noreturn]] void ThrowErrno(const std::filesystem::path& path) {
    throw std::system_error(errno, std::generic_category(), path.string());
}

// Where the file system has no rename that refuses an existing name: a second link made under
// the new name, which fails when the name is taken, then the old name dropped.
void LinkOnto(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::link(from.c_str(), to.c_str()) != 0) {
        ThrowErrno(to);
    }
    // Both names are ours now; a failure to drop the staged one leaves it to the staging
    // folder's removal.
    static_cast<void>(::unlink(from.c_str()));
}

}  // namespace

void RenameOnto(const std::filesystem::path& from, const std::filesystem::path& to, bool replace) {
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

// A terminal takes UTF-8 as it is.
struct ConsoleText::Streams {};

ConsoleText::ConsoleText() = default;

ConsoleText::~ConsoleText() = default;

}  // namespace foliomix::cli
