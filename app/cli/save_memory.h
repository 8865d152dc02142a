// Whether a save may run out of memory. LibreOffice's .pptx export keeps every part of the
// file (each slide, its notes, each master and layout) in a buffer of its own until the whole
// package is written, so it needs far more memory than the other formats and grows with the
// slides saved: a few MB per slide, several GB for a large merge, where .ppt and .odp need
// about a tenth of that.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace foliomix::cli {

// What LibreOffice's export needs per slide of a .pptx (real decks: 2,070 slides, 7.6 GB).
inline constexpr std::uint64_t kPptxBytesPerSlide = 3'700'000;

// The warning to give before `slides` slides are saved as `extension`, when that format's
// export needs `bytesPerSlide` each and that adds up to more than the `available` memory (not
// known: no warning); empty otherwise.
[[nodiscard]] std::string LargeSaveWarning(std::string_view extension, std::int64_t slides,
                                           std::uint64_t bytesPerSlide,
                                           std::optional<std::uint64_t> available);

// The memory this machine has for a new need (Linux: MemAvailable), in bytes; none when it
// cannot be read.
[[nodiscard]] std::optional<std::uint64_t> AvailableMemory();

}  // namespace foliomix::cli
