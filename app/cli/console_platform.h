// What the command line needs of its platform, apart from the engine (engine_choice.h) and the
// signals (stop_signals.h). Each platform implements it in a file of its own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace foliomix::cli {

// The program's arguments as UTF-8, its own name left out.
[[nodiscard]] std::vector<std::string> Utf8Arguments(int argc, char* argv[]);

// The width of the terminal that the standard error shows on; 0 when it is no terminal.
[[nodiscard]] int StandardErrorTerminalColumns();

[[nodiscard]] int CurrentProcessId();

// Removes the staging folders (see staged_output.h) in `folder` of processes that no longer
// run: what a killed run left. A running program's folders are left alone.
void RemoveStagingOfEndedRuns(const std::filesystem::path& folder);

}  // namespace foliomix::cli
