// What --help and --version print (each ends with a newline).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace foliomix::cli {

// `engine`: the engine's name; `outputExtensions`: the formats it writes, as ".ppt".
[[nodiscard]] std::string HelpText(std::string_view engine,
                                   const std::vector<std::string_view>& outputExtensions);
// "foliomix-merge 1.0": the project's version (app/version.h), as the window's caption writes it.
[[nodiscard]] std::string VersionText();

}  // namespace foliomix::cli
