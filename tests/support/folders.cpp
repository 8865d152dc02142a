#include "tests/support/folders.h"

#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>

namespace foliomix::testing {
namespace {

void SetHome(const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable.
    _putenv_s("HOME", value ? value->c_str() : "");
#else
    if (value) {
        ::setenv("HOME", value->c_str(), 1);
    } else {
        ::unsetenv("HOME");
    }
#endif
}

std::optional<std::string> Home() {
    const char* home = std::getenv("HOME");
    return home == nullptr ? std::nullopt : std::optional<std::string>(home);
}

}  // namespace

CurrentFolder::CurrentFolder(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

CurrentFolder::~CurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

HomeAndCurrentFolder::HomeAndCurrentFolder(const std::filesystem::path& home,
                                           const std::filesystem::path& current)
    : previousHome_(Home()), current_(current) {
    SetHome(home.string());
}

HomeAndCurrentFolder::~HomeAndCurrentFolder() { SetHome(previousHome_); }

ScratchFolder::ScratchFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::filesystem::path candidate =
            std::filesystem::temp_directory_path() /
            ("foliomix-test-" + std::to_string(random()) + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
        }
    }
    if (path_.empty()) {
        throw std::runtime_error("no scratch folder could be made");
    }
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace foliomix::testing
