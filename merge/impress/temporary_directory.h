// A fresh, private directory under the system's temporary folder, removed with everything in
// it when the object is destroyed.
#pragma once

#include <filesystem>
#include <string_view>

namespace foliomix::impress {

class TemporaryDirectory {
  public:
    // Throws ServerError when no directory can be made.
    explicit TemporaryDirectory(std::string_view prefix);
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace foliomix::impress
