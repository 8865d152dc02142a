// What soffice.bin is started with: its command line and its environment.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace foliomix::impress {

// Headless and invisible, with no restore, logo, default document or lock check, the private
// profile `profileUrl` as its user installation, accepting UNO connections on `pipeName`.
[[nodiscard]] std::vector<std::string> EngineArguments(std::u16string_view profileUrl,
                                                       const std::string& pipeName);

// Our environment as EngineEnvironment makes it, with TMPDIR set to `temporaryFolder` so that
// the engine's own temporary files go where we remove them.
[[nodiscard]] std::vector<std::string> EngineLaunchEnvironment(
    const std::filesystem::path& temporaryFolder);

}  // namespace foliomix::impress
