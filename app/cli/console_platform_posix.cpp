// The command line's platform on Linux (POSIX).
#include <sys/ioctl.h>
#include <unistd.h>

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

void RenameOnto(const std::filesystem::path& from, const std::filesystem::path& to, bool replace) {
    std::error_code error;
    if (!replace && std::filesystem::exists(std::filesystem::symlink_status(to, error))) {
        throw std::system_error(std::make_error_code(std::errc::file_exists), to.string());
    }
    std::filesystem::rename(from, to);
}

// A terminal takes UTF-8 as it is.
struct ConsoleText::Streams {};

ConsoleText::ConsoleText() = default;

ConsoleText::~ConsoleText() = default;

}  // namespace foliomix::cli
