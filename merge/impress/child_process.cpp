#include "merge/impress/child_process.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "merge/presentation_server.h"

namespace foliomix::impress {
namespace {

// A file descriptor closed when the object goes.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
};

// Everything the child does between fork and exec, where only async-signal-safe calls are
// allowed (other threads of ours may hold locks that the copy would never see released).
// Reports a failed exec through `report` and never returns.
[[noreturn]] void BecomeProgram(pid_t parent, int devNull, int report, rlim_t fdLimit,
                                const char* program, char* const argv[], char* const envp[]) {
    ::setpgid(0, 0);
    // Whatever way we end, even killed outright, the engine goes with us.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(127);  // we ended before the signal was armed
    }
    ::dup2(devNull, STDIN_FILENO);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    // None of our other descriptors reaches the program: a pipe of whoever started us, held by
    // an engine that outlives a run, would keep them waiting for its end.
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (rlim_t fd = 3; fd < fdLimit; ++fd) {
            ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
        }
    }
    // Nor our signal settings: a signal we ignore or block would be ignored or blocked there.
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        ::sigaction(signal, &defaults, nullptr);
    }
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    ::execve(program, argv, envp);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment) {
    std::vector<std::string> argvStorage;
    argvStorage.reserve(arguments.size() + 1);
    argvStorage.push_back(program);
    argvStorage.insert(argvStorage.end(), arguments.begin(), arguments.end());
    const std::vector<char*> argv = PointerArray(argvStorage);
    std::vector<std::string> envpStorage = environment;
    const std::vector<char*> envp = PointerArray(envpStorage);

    // All the child needs is made here: it may not allocate.
    const Descriptor devNull(::open("/dev/null", O_RDWR | O_CLOEXEC));
    int pipeEnds[2] = {-1, -1};
    if (devNull.Get() < 0 || ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throw ServerError("cannot start " + program + ": " + std::strerror(errno));
    }
    Descriptor reportRead(pipeEnds[0]);
    Descriptor reportWrite(pipeEnds[1]);
    rlimit limit{};
    const rlim_t fdLimit =
        ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY ? limit.rlim_cur
                                                                                   : 1024;
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid < 0) {
        throw ServerError("cannot start " + program + ": " + std::strerror(errno));
    }
    if (pid == 0) {
        BecomeProgram(parent, devNull.Get(), reportWrite.Get(), fdLimit, program.c_str(),
                      argv.data(), envp.data());
    }
    pid_ = pid;
    // Also from this side, so that the group exists whichever process runs first.
    ::setpgid(pid_, pid_);
    reportWrite.Reset();
    // The read end sees the child's errno if exec failed, or nothing once exec closed it.
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(reportRead.Get(), &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof error)) {
        Kill();
        throw ServerError("cannot start " + program + ": " + std::strerror(error));
    }
}

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Running() {
    if (reaped_) {
        return false;
    }
    // Looked at without reaping: until it is reaped, the ended leader still holds its process
    // group, so what is left of the group can be signalled without reaching anyone else's.
    siginfo_t info{};
    int result = 0;
    do {
        result = ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        // Reaped by someone else: its group number may be anyone's by now.
        reaped_ = true;
        return false;
    }
    if (info.si_pid == 0) {
        return true;
    }
    if (info.si_code == CLD_EXITED) {
        exitCode_ = info.si_status;
    }
    Kill();
    return false;
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
    if (reaped_ || pid_ <= 0) {
        return;
    }
    // The leader is not reaped yet, so the group is still ours even if the leader has ended.
    ::kill(-pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
}

std::vector<char*> PointerArray(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace foliomix::impress
