// A test's own folders as the program sees them: the current folder (where the save dialog
// proposes the result and relative names are resolved) and HOME (where the open dialog starts).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace foliomix::testing {

// While it lives, `folder` is the current folder; then the previous one is again.
class CurrentFolder {
  public:
    explicit CurrentFolder(const std::filesystem::path& folder);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    CurrentFolder(CurrentFolder&&) = delete;
    CurrentFolder& operator=(CurrentFolder&&) = delete;

  private:
    std::filesystem::path previous_;
};

// While it lives, HOME names `home` and `current` is the current folder; then both are as they
// were (an unset HOME unset again).
class HomeAndCurrentFolder {
  public:
    HomeAndCurrentFolder(const std::filesystem::path& home, const std::filesystem::path& current);
    ~HomeAndCurrentFolder();
    HomeAndCurrentFolder(const HomeAndCurrentFolder&) = delete;
    HomeAndCurrentFolder& operator=(const HomeAndCurrentFolder&) = delete;
    HomeAndCurrentFolder(HomeAndCurrentFolder&&) = delete;
    HomeAndCurrentFolder& operator=(HomeAndCurrentFolder&&) = delete;

  private:
    std::optional<std::string> previousHome_;
    CurrentFolder current_;
};

// A new empty folder of the test's own in the temporary folder, removed with everything in it
// when the object goes. Throws when it cannot be made.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ScratchFolder(ScratchFolder&&) = delete;
    ScratchFolder& operator=(ScratchFolder&&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace foliomix::testing
