// What an engine run leaves on disk when our process ends without removing it (killed,
// crashed): the engine's private profile folder and the socket of its named pipe. Both carry
// the process id of the run in their names, so the next start can tell whose they were.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace foliomix::impress {

// Name prefixes for this process's runs: "foliomix-impress-<pid>-" for a profile folder,
// "foliomix_<pid>_" for a pipe name.
[[nodiscard]] std::string ProfileFolderPrefix();
[[nodiscard]] std::string PipeNamePrefix();

// The socket file the engine makes for the pipe `pipeName` in `pipeFolder`, as its runtime
// names it for the current user: "OSL_PIPE_<uid>_<pipeName>".
[[nodiscard]] std::filesystem::path PipeSocketPath(const std::filesystem::path& pipeFolder,
                                                   std::string_view pipeName);

// The URL a profile folder is handed to the engine as (its UserInstallation).
[[nodiscard]] std::u16string ProfileUrl(const std::filesystem::path& profileFolder);

// The socket the engine makes for its single-instance pipe, whose name it derives from its
// profile's URL: an engine that is killed leaves it behind.
[[nodiscard]] std::filesystem::path SingleInstanceSocketPath(
    const std::filesystem::path& pipeFolder, std::u16string_view profileUrl);

// Removes the profile folders in `profileFolder` and the pipe sockets in `pipeFolder` (ours and
// the engine's single-instance one) of runs whose process no longer exists. Anything of a running
// process, of another user or of another name is left alone; what cannot be removed is left too.
void RemoveLeftoversOfEndedRuns(const std::filesystem::path& profileFolder,
                                const std::filesystem::path& pipeFolder);

// RemoveLeftoversOfEndedRuns on the folders our runs use: profile folders in the temporary
// folder (TMPDIR, else /tmp), pipe sockets in /tmp, where the engine's runtime makes them
// whatever TMPDIR says. For the program's start, before a run of its own.
void RemoveLeftoversOfEndedRunsInTheirFolders();

}  // namespace foliomix::impress
