#include "merge/impress/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "merge/presentation_server.h"

namespace foliomix::impress {
namespace {

// posix_spawn's attribute and file-action objects, destroyed on every path.
struct SpawnAttributes {
    posix_spawnattr_t value{};
    SpawnAttributes() { posix_spawnattr_init(&value); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&value); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

struct SpawnFileActions {
    posix_spawn_file_actions_t value{};
    SpawnFileActions() { posix_spawn_file_actions_init(&value); }
    ~SpawnFileActions() { posix_spawn_file_actions_destroy(&value); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;
};

}  // namespace

namespace {

// A NULL-terminated array of pointers into `strings`, as exec and posix_spawn take them.
std::vector<char*> PointerArray(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment) {
    std::vector<std::string> argv_storage;
    argv_storage.reserve(arguments.size() + 1);
    argv_storage.push_back(program);
    argv_storage.insert(argv_storage.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = PointerArray(argv_storage);
    std::vector<std::string> envp_storage = environment;
    std::vector<char*> envp = PointerArray(envp_storage);

    SpawnAttributes attributes;
    // A group of its own: the engine's helpers die with it, and a terminal's Ctrl+C does not
    // reach it before we have shut it down ourselves.
    posix_spawnattr_setpgroup(&attributes.value, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes.value, &defaults);
    posix_spawnattr_setflags(&attributes.value, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    SpawnFileActions actions;
    posix_spawn_file_actions_addopen(&actions.value, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions.value, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions.value, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const int error = posix_spawn(&pid_, program.c_str(), &actions.value, &attributes.value,
                                  argv.data(), envp.data());
    if (error != 0) {
        throw ServerError("cannot start " + program + ": " + std::strerror(error));
    }
}

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Running() {
    if (reaped_) {
        return false;
    }
    int status = 0;
    const pid_t result = waitpid(pid_, &status, WNOHANG);
    if (result == pid_ || (result < 0 && errno == ECHILD)) {
        reaped_ = true;
        if (result == pid_ && WIFEXITED(status)) {
            exitCode_ = WEXITSTATUS(status);
        }
        return false;
    }
    return true;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void ChildProcess::Kill() {
    // The group may hold helpers even when the leader has already ended and been reaped.
    if (pid_ > 0) {
        ::kill(-pid_, SIGKILL);
    }
    if (!reaped_ && pid_ > 0) {
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
    }
}

}  // namespace foliomix::impress
