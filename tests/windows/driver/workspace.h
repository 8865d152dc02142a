// A case's own folder tree in the prefix's drive C:, emptied when the case starts, with the
// stand-in engine's presentation files and call log in it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foliomix::driver {

class Workspace {
  public:
    explicit Workspace(std::wstring_view caseName);

    // The case's folder, without a backslash at the end.
    [[nodiscard]] const std::wstring& Root() const { return root_; }
    // A folder inside Root (made if missing); its full path.
    [[nodiscard]] std::wstring Folder(std::wstring_view relative) const;
    // Writes a presentation file of the stand-in engine holding these slide titles; returns
    // its full path.
    std::wstring WriteDeck(const std::wstring& folder, std::wstring_view name,
                           const std::vector<std::wstring>& slides) const;
    // The stand-in's call log file (FOLIOMIX_STANDIN_LOG) and its lines so far.
    [[nodiscard]] std::wstring LogPath() const { return root_ + L"\\standin-calls.log"; }
    [[nodiscard]] std::vector<std::wstring> LogLines() const;

  private:
    std::wstring root_;
};

// The slide titles of a stand-in presentation file (without size or designs); nothing when there is
// no such file or it is not one.
[[nodiscard]] std::optional<std::vector<std::wstring>> ReadDeck(const std::wstring& path);
[[nodiscard]] bool FileExists(const std::wstring& path);
// The lines of a UTF-8 text file (CR before LF dropped), empty when it does not exist.
[[nodiscard]] std::vector<std::wstring> ReadLines(const std::wstring& path);

}  // namespace foliomix::driver
