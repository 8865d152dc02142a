#include "app/cli/save_memory.h"

#include <cstdio>
#include <fstream>

namespace foliomix::cli {

namespace {

std::string Gigabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(bytes) / 1e9);
    return text;
}

}  // namespace

std::string LargeSaveWarning(std::string_view extension, std::int64_t slides,
                             std::uint64_t bytesPerSlide, std::optional<std::uint64_t> available) {
    if (slides <= 0 || bytesPerSlide == 0 || !available) {
        return {};
    }
    const std::uint64_t needed = static_cast<std::uint64_t>(slides) * bytesPerSlide;
    if (needed <= *available) {
        return {};
    }
    std::string warning = "warning: saving ";
    warning += std::to_string(slides);
    warning += slides == 1 ? " slide as " : " slides as ";
    warning += extension;
    warning += " may need about " + Gigabytes(needed) + " of memory, and " + Gigabytes(*available) +
               " is free; .ppt or .odp needs far less";
    return warning;
}

std::optional<std::uint64_t> AvailableMemory() {
    // Where there is no /proc (Windows), nothing is known.
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);) {
        if (line.starts_with("MemAvailable:")) {
            return std::stoull(line.substr(13)) * 1024;  // "MemAvailable:  4021184 kB"
        }
    }
    return std::nullopt;
}

}  // namespace foliomix::cli
