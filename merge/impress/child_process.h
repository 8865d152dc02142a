// A child process in a process group of its own. The object owns the process: destroying it
// kills the whole group and reaps the child, so nothing outlives it. Should this process end
// without that (killed, aborted), the child is killed by the kernel: it is armed with a
// parent-death signal, which fires when the thread that started it ends, so start children
// from a thread that lives as long as they should (the adapter's engine thread, which lives as
// long as the adapter). The child inherits none of our descriptors beyond its standard streams
// (on /dev/null) and none of our signal settings.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace foliomix::impress {

class ChildProcess {
  public:
    // Starts `program` (a path, not searched in PATH) with `arguments` (without argv[0]) and
    // `environment` ("NAME=value" entries), its standard streams on /dev/null. Throws
    // ServerError when it cannot be started.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    [[nodiscard]] pid_t Pid() const { return pid_; }
    // Reaps the child if it has ended, after killing what is left of its group; true while it
    // still runs.
    [[nodiscard]] bool Running();
    // The exit status once the child has ended by exiting, else -1.
    [[nodiscard]] int ExitCode() const { return exitCode_; }
    // Waits up to `timeout` for the child to end by itself; true if it did.
    bool WaitForExit(std::chrono::milliseconds timeout);
    // SIGKILL to the whole group, then reaps the child. Afterwards the process is certainly gone.
    void Kill();

  private:
    pid_t pid_ = 0;
    bool reaped_ = false;
    int exitCode_ = -1;
};

// A NULL-terminated array of pointers into `strings`, as exec takes them; valid while
// `strings` is neither changed nor destroyed.
[[nodiscard]] std::vector<char*> PointerArray(std::vector<std::string>& strings);

}  // namespace foliomix::impress
