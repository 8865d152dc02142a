#include "tests/cli/program_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "merge/impress/child_process.h"

namespace foliomix::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::array<int, 2> Pipe() {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    return ends;
}

// Our environment with `changes` applied.
std::vector<std::string> Environment(const std::vector<std::string>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('=') + 1);
        bool replaced = false;
        for (const std::string& change : changes) {
            replaced = replaced || change.starts_with(name);
        }
        if (!replaced) {
            entries.push_back(text);
        }
    }
    entries.insert(entries.end(), changes.begin(), changes.end());
    return entries;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::filesystem::path& program, const ProgramSetup& setup) {
    std::vector<std::string> arguments{program.string()};
    arguments.insert(arguments.end(), setup.arguments.begin(), setup.arguments.end());
    std::vector<std::string> environment = Environment(setup.environment);
    // Everything exec needs is made before the fork: the child only calls what is safe there.
    const std::vector<char*> argv = impress::PointerArray(arguments);
    const std::vector<char*> envp = impress::PointerArray(environment);
    const std::string work = setup.workFolder.string();
    const auto input = Pipe();
    const auto output = Pipe();
    const auto error = Pipe();
    pid_ = ::fork();
    if (pid_ < 0) {
        for (const int end : {input[0], input[1], output[0], output[1], error[0], error[1]}) {
            ::close(end);
        }
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        ::dup2(input[0], STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(error[1], STDERR_FILENO);
        if (!work.empty() && ::chdir(work.c_str()) != 0) {
            ::_exit(126);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    for (const int end : {input[0], output[1], error[1]}) {
        ::close(end);
    }
    output_ = output[0];
    error_ = error[0];
    // Small: it fits into the pipe before the program reads it.
    [[maybe_unused]] const ssize_t written =
        ::write(input[1], setup.standardInput.data(), setup.standardInput.size());
    ::close(input[1]);
}

ProgramProcess::~ProgramProcess() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    for (const int end : {output_, error_}) {
        if (end >= 0) {
            ::close(end);
        }
    }
}

void ProgramProcess::Signal(int number) const { ::kill(pid_, number); }

bool ProgramProcess::Read(std::chrono::milliseconds timeout) {
    std::array<pollfd, 2> streams{{{output_, POLLIN, 0}, {error_, POLLIN, 0}}};
    std::array<std::string*, 2> into{&end_.standardOutput, &end_.standardError};
    if (output_ < 0 && error_ < 0) {
        return false;
    }
    if (::poll(streams.data(), streams.size(), static_cast<int>(timeout.count())) <= 0) {
        return true;
    }
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (streams[i].fd < 0 || streams[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = ::read(streams[i].fd, buffer, sizeof buffer);
        if (got > 0) {
            into[i]->append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            ::close(streams[i].fd);
            (i == 0 ? output_ : error_) = -1;
        }
    }
    return output_ >= 0 || error_ >= 0;
}

bool ProgramProcess::WaitForError(std::string_view text, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (end_.standardError.find(text) == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || !Read(left)) {
            return end_.standardError.find(text) != std::string::npos;
        }
    }
    return true;
}

std::optional<ProgramEnd> ProgramProcess::Finish(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        if (!Read(left)) {
            break;
        }
    }
    // Both streams ended: the program has ended, or is about to.
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    end_.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    end_.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return end_;
}

ProgramEnd RunProgram(const std::filesystem::path& program, const ProgramSetup& setup) {
    ProgramProcess process(program, setup);
    auto end = process.Finish(std::chrono::minutes(5));
    if (!end) {
        throw std::runtime_error("the program did not end within five minutes");
    }
    return *end;
}

}  // namespace foliomix::testing
