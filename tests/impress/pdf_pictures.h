// A PDF's pages as pictures, as poppler's pdftoppm draws them, to compare two PDFs page by page.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace foliomix::testing {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // row by row, three bytes a pixel
};

// Each page of `pdf` drawn at `dpi` into `folder`; none when pdftoppm fails.
[[nodiscard]] std::vector<Picture> PdfPictures(const std::filesystem::path& pdf,
                                               const std::filesystem::path& folder, int dpi);

// The share (0 to 1) of pixels whose colour differs by more than a rendering's rounding; 1 when
// the sizes differ.
[[nodiscard]] double DifferingShare(const Picture& a, const Picture& b);

}  // namespace foliomix::testing
