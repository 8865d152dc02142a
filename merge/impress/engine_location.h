// Where the engine is installed: the soffice.bin to start, and the program folder whose UNO
// runtime this program was built against.
#pragma once

#include <filesystem>
#include <string>

namespace foliomix::impress {

// The installed engine's soffice.bin, or an empty string when none is found.
[[nodiscard]] std::string FindInstalledEngine();

// The engine's program folder found when this program was built (its URE, types.rdb,
// fundamentalrc).
[[nodiscard]] std::filesystem::path BuiltAgainstProgramFolder();

// A regular file we may execute.
[[nodiscard]] bool IsExecutable(const std::filesystem::path& path);

}  // namespace foliomix::impress
