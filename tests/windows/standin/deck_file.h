// The stand-in engine's presentation files: a first line "FOLIOMIX-STANDIN-DECK", then one
// slide title per line, UTF-8, lines ended by LF (a CR before it is ignored when reading).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

inline constexpr std::string_view kDeckHeader = "FOLIOMIX-STANDIN-DECK";

// The slide titles of the file at `path`, or nothing when it cannot be read or is not a deck.
[[nodiscard]] std::optional<std::vector<std::wstring>> ReadDeck(const std::wstring& path);
// Writes (replaces) the file at `path`; false when it cannot be written.
[[nodiscard]] bool WriteDeck(const std::wstring& path, const std::vector<std::wstring>& slides);

// Nothing when `bytes` is not valid UTF-8.
[[nodiscard]] std::optional<std::wstring> FromUtf8(std::string_view bytes);

}  // namespace standin
