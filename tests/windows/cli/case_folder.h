// A case's own folders in the temporary folder, named in Chinese: the work folder where the
// program runs, with the stand-in engine's decks in it, and beside it the stand-in's call log.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/files.h"

namespace foliomix::cli::testing {

class CaseFolder {
  public:
    // Named after the running test; emptied first.
    CaseFolder();
    // Removed, unless the test failed: then it is kept to be looked at.
    ~CaseFolder();
    CaseFolder(const CaseFolder&) = delete;
    CaseFolder& operator=(const CaseFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& Work() const { return work_; }
    [[nodiscard]] std::filesystem::path LogPath() const { return root_ / L"standin.log"; }

    // A deck of the stand-in's format in the work folder holding these slide titles (UTF-8).
    void WriteDeck(std::wstring_view name, const std::vector<std::string>& titles) const;
    // Any file in the work folder.
    void WriteFile(std::wstring_view name, std::string_view bytes) const;
    // What the work folder holds, hidden entries included, sorted, UTF-8.
    [[nodiscard]] std::vector<std::string> Names() const;
    // The stand-in's log lines so far; none when it wrote nothing.
    [[nodiscard]] std::vector<std::string> Log() const;

  private:
    std::filesystem::path root_;
    std::filesystem::path work_;
};

// The slide titles of a stand-in deck (UTF-8), or nothing when it is missing or no deck.
[[nodiscard]] std::optional<std::vector<std::string>> DeckTitles(const std::filesystem::path& file);
using foliomix::testing::FileBytesIfAny;

}  // namespace foliomix::cli::testing
