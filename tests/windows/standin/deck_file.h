// The stand-in engine's presentation files, UTF-8, lines ended by LF (a CR before it is ignored
// when reading). The first line is "FOLIOMIX-STANDIN-DECK", optionally followed by a space and
// the slide size in points, "<width>x<height>"; then one line per slide: its title, optionally
// followed by a tab and the name of its design. What a line leaves out takes the defaults of a
// new presentation (960x540, "Office Theme"), so files written before sizes and designs existed
// read as they did.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

inline constexpr std::string_view kDeckHeader = "FOLIOMIX-STANDIN-DECK";
// A new presentation's slide size (16:9) and design.
inline constexpr float kDefaultSlideWidth = 960.0F;
inline constexpr float kDefaultSlideHeight = 540.0F;
inline constexpr std::wstring_view kDefaultDesign = L"Office Theme";

struct DeckSlide {
    std::wstring title;
    std::wstring design{kDefaultDesign};
};

struct DeckContent {
    float width = kDefaultSlideWidth;
    float height = kDefaultSlideHeight;
    std::vector<DeckSlide> slides;
};

// The content of the file at `path`, or nothing when it cannot be read or is not a deck.
[[nodiscard]] std::optional<DeckContent> ReadDeck(const std::wstring& path);
// Writes (replaces) the file at `path`, size and designs always spelled out; false when it
// cannot be written.
[[nodiscard]] bool WriteDeck(const std::wstring& path, const DeckContent& deck);

// Nothing when `bytes` is not valid UTF-8.
[[nodiscard]] std::optional<std::wstring> FromUtf8(std::string_view bytes);

}  // namespace standin
