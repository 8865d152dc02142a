// The merge list: the rows of `list`, index 0 first, in merge order. Add fills it once from
// the open dialog; Move up and Move down reorder it. They also switch the buttons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace foliomix {

// The option bits Add sets on the open dialog before every showing: explorer style (names
// separated by NUL), every chosen file must exist, several files may be chosen.
inline constexpr std::uint32_t kOpenFlagExplorer = 0x80000;
inline constexpr std::uint32_t kOpenFlagFileMustExist = 0x1000;
inline constexpr std::uint32_t kOpenFlagAllowMultiSelect = 0x200;
inline constexpr std::uint32_t kAddOpenFlags =
    kOpenFlagExplorer | kOpenFlagFileMustExist | kOpenFlagAllowMultiSelect;

class MergeList {
  public:
    // `separator` joins the dialog's folder and each chosen name: '\\' on Windows, '/' on Linux.
    MergeList(MainWindow& window, char16_t separator);

    void Add();
    void MoveUp();
    void MoveDown();

  private:
    void SwapWithNeighbour(std::int16_t selected, std::int16_t neighbour);

    MainWindow& window_;
    char16_t separator_;
    // The last confirmed result of the open dialog, split at its NULs; after Add, elements 1
    // onwards hold the full paths that were appended.
    std::vector<std::u16string> lastDialogResult_;
};

// Splits at every NUL, keeping empty parts: "" gives one empty part.
[[nodiscard]] std::vector<std::u16string> SplitAtNul(std::u16string_view text);

}  // namespace foliomix
