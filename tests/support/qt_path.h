// A QString path as a std::filesystem path, for the tiers that drive the Qt window.
#pragma once

#include <QString>
#include <filesystem>

namespace foliomix::testing {

[[nodiscard]] inline std::filesystem::path PathOf(const QString& path) {
    return {path.toStdU16String()};
}

}  // namespace foliomix::testing
