// Where the engine is installed: the soffice.bin to start, and the program folder whose UNO
// runtime this program was built against.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace foliomix::impress {

// The soffice.bin that `given` names: a soffice (a link or script beside soffice.bin),
// soffice.bin itself, a program/ folder holding it, or the installation folder above that.
// Nothing when it names none.
[[nodiscard]] std::optional<std::filesystem::path> EngineNamedBy(
    const std::filesystem::path& given);

// The environment variable that names the engine to drive, as --engine does.
inline constexpr const char* kEngineVariable = "FOLIOMIX_ENGINE";

// The engine to start: the one FOLIOMIX_ENGINE names when it is set (an empty string when that
// names none); else the system's (soffice on PATH, then the one this program was built
// against); else LibreOffice's own packages under /opt (/opt/libreoffice<version>/program),
// the newest version first. An empty string when none is found.
[[nodiscard]] std::string FindInstalledEngine();

// Of LibreOffice's own installation folders under `root` ("libreoffice7.6",
// "libreoffice25.2", …), the program folders holding an engine, the newest version first.
[[nodiscard]] std::vector<std::filesystem::path> PackagedEngines(const std::filesystem::path& root);

// The engine's program folder found when this program was built (its URE, types.rdb,
// fundamentalrc).
[[nodiscard]] std::filesystem::path BuiltAgainstProgramFolder();

// A regular file we may execute.
[[nodiscard]] bool IsExecutable(const std::filesystem::path& path);

}  // namespace foliomix::impress
