// foliomix-merge started by a test as a process of its own, as a shell starts it: arguments,
// a current folder, environment changes, something on its standard input; what the test sees
// of it: both output streams, its exit, its process id (the engine's profile is named by it).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace foliomix::testing {

struct ProgramSetup {
    std::vector<std::string> arguments;  // without the program's name
    std::filesystem::path workFolder;    // its current folder; empty: ours
    // "NAME=value" entries that replace or add to our environment.
    std::vector<std::string> environment;
    std::string standardInput;
};

struct ProgramEnd {
    int exitCode = -1;  // -1 when ended by a signal
    int signal = 0;
    std::string standardOutput;
    std::string standardError;
};

class ProgramProcess {
  public:
    ProgramProcess(const std::filesystem::path& program, const ProgramSetup& setup);
    // Kills the program if it still runs, and reaps it.
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    [[nodiscard]] pid_t Pid() const { return pid_; }
    void Signal(int number) const;
    // Reads its output until its standard error holds `text`; false when it ended or
    // `timeout` passed first.
    bool WaitForError(std::string_view text, std::chrono::milliseconds timeout);
    // Reads its output to the end and reaps it; nothing when it has not ended within `timeout`.
    std::optional<ProgramEnd> Finish(std::chrono::milliseconds timeout);

  private:
    // Reads what is there, waiting up to `timeout` for something; false once both streams ended.
    bool Read(std::chrono::milliseconds timeout);

    pid_t pid_ = 0;
    bool reaped_ = false;
    int output_ = -1;
    int error_ = -1;
    ProgramEnd end_;
};

// Runs the program to its end (a bound for a hang: five minutes).
[[nodiscard]] ProgramEnd RunProgram(const std::filesystem::path& program,
                                    const ProgramSetup& setup);

}  // namespace foliomix::testing
