// The command line's platform on Linux (POSIX).
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

#include "app/cli/console_platform.h"

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

// A terminal takes UTF-8 as it is.
struct ConsoleText::Streams {};

ConsoleText::ConsoleText() = default;

ConsoleText::~ConsoleText() = default;

}  // namespace foliomix::cli
