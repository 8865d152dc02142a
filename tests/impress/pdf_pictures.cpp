#include "tests/impress/pdf_pictures.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace foliomix::testing {

namespace fs = std::filesystem;

namespace {

// A binary PPM (P6, 8 bits a channel), as pdftoppm writes it.
Picture ReadPpm(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maximum = 0;
    Picture picture;
    in >> magic >> picture.width >> picture.height >> maximum;
    in.get();  // the one whitespace before the pixels
    if (magic != "P6" || maximum != 255 || picture.width <= 0 || picture.height <= 0) {
        return {};
    }
    picture.rgb.resize(static_cast<std::size_t>(picture.width) *
                       static_cast<std::size_t>(picture.height) * 3);
    in.read(reinterpret_cast<char*>(picture.rgb.data()),
            static_cast<std::streamsize>(picture.rgb.size()));
    return in ? picture : Picture{};
}

}  // namespace

std::vector<Picture> PdfPictures(const fs::path& pdf, const fs::path& folder, int dpi) {
    fs::create_directories(folder);
    const std::string command = std::string(FOLIOMIX_PDFTOPPM) + " -q -r " + std::to_string(dpi) +
                                " '" + pdf.string() + "' '" + (folder / "page").string() + "'";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    // page-01.ppm, page-02.ppm, …: one width of number for all pages.
    std::sort(files.begin(), files.end());
    std::vector<Picture> pages;
    pages.reserve(files.size());
    for (const fs::path& file : files) {
        pages.push_back(ReadPpm(file));
    }
    return pages;
}

double DifferingShare(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size() ||
        a.rgb.empty()) {
        return 1;
    }
    constexpr int kRounding = 24;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
        for (std::size_t c = i; c < i + 3; ++c) {
            if (std::abs(int{a.rgb[c]} - int{b.rgb[c]}) > kRounding) {
                ++differing;
                break;
            }
        }
    }
    const std::size_t pixels = a.rgb.size() / 3;
    return static_cast<double>(differing) / static_cast<double>(pixels);
}

}  // namespace foliomix::testing
