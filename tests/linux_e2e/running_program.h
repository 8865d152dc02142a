// The real program, foliomix, started by a test as a process of its own, in folders of the
// test's (its temporary folder among them), optionally driven from inside by the program
// driver; and what the test sees of it from outside: its children, its wait status, what it
// leaves in its folders.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace foliomix::testing {

struct ProgramSetup {
    std::filesystem::path temporaryFolder;  // its TMPDIR
    std::filesystem::path home;             // where its open dialog starts
    std::filesystem::path workFolder;       // its current folder: the save dialog's
    std::filesystem::path runtimeFolder;    // its XDG_RUNTIME_DIR, else Qt makes one in TMPDIR
    // For the program driver: the scene ("" for none: the program is left alone), the names
    // typed into the open dialog, and the file it reports its stages to.
    std::string scene;
    std::string typed;
    std::filesystem::path report;
    // Started with SIGINT ignored, as a shell starts a program in the background.
    bool sigintIgnored = false;
};

class RunningProgram {
  public:
    explicit RunningProgram(const ProgramSetup& setup);
    // Kills the program if it still runs, and reaps it.
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    [[nodiscard]] pid_t Pid() const { return pid_; }
    void Signal(int number) const;
    // Its wait status once it has ended, waiting up to `timeout`; none if it still runs.
    std::optional<int> WaitForEnd(std::chrono::milliseconds timeout);

  private:
    pid_t pid_ = 0;
    std::optional<int> status_;
};

// The processes whose parent is `parent` and whose program is named `name`.
[[nodiscard]] std::vector<pid_t> ChildrenNamed(pid_t parent, const std::string& name);

// The engine pipe sockets of the process `pid` in the folder where the engine makes them.
[[nodiscard]] std::vector<std::string> PipeSocketsOf(pid_t pid);

// Waits up to `timeout` for `condition`, processing this process's events meanwhile.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace foliomix::testing
