#include "merge/impress/engine_leftovers.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <optional>
#include <system_error>

namespace foliomix::impress {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProfilePrefix = "foliomix-impress-";
constexpr std::string_view kPipePrefix = "foliomix_";

std::string SocketPrefix() { return "OSL_PIPE_" + std::to_string(::getuid()) + "_"; }

// The process id that `name` carries right after `prefix`, ended by `separator`.
std::optional<pid_t> PidAfter(std::string_view name, std::string_view prefix, char separator) {
    if (!name.starts_with(prefix)) {
        return std::nullopt;
    }
    name.remove_prefix(prefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || pid <= 0 || end == name.data() + name.size() || *end != separator) {
        return std::nullopt;
    }
    return pid;
}

// Only a process that certainly no longer exists: one we may not signal still runs.
bool Ended(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

template <typename Remove>
void RemoveWhere(const fs::path& folder, std::string_view prefix, char separator, Remove&& remove) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (const auto pid = PidAfter(name, prefix, separator); pid && Ended(*pid)) {
            std::error_code ignored;
            remove(entry, ignored);
        }
    }
}

}  // namespace

std::string ProfileFolderPrefix() {
    return std::string(kProfilePrefix) + std::to_string(::getpid()) + "-";
}

std::string PipeNamePrefix() { return std::string(kPipePrefix) + std::to_string(::getpid()) + "_"; }

fs::path PipeSocketPath(const fs::path& pipeFolder, std::string_view pipeName) {
    return pipeFolder / (SocketPrefix() + std::string(pipeName));
}

void RemoveLeftoversOfEndedRuns(const fs::path& profileFolder, const fs::path& pipeFolder) {
    RemoveWhere(profileFolder, kProfilePrefix, '-',
                [](const fs::directory_entry& entry, std::error_code& error) {
                    if (entry.is_directory(error) && !entry.is_symlink(error)) {
                        fs::remove_all(entry.path(), error);
                    }
                });
    RemoveWhere(pipeFolder, SocketPrefix() + std::string(kPipePrefix), '_',
                [](const fs::directory_entry& entry, std::error_code& error) {
                    if (entry.is_socket(error)) {
                        fs::remove(entry.path(), error);
                    }
                });
}

}  // namespace foliomix::impress
