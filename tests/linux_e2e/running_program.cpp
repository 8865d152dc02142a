#include "tests/linux_e2e/running_program.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <cerrno>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "merge/impress/child_process.h"
#include "merge/impress/engine_leftovers.h"
#include "tests/support/eventually.h"

#ifndef FOLIOMIX_PROGRAM
#error "FOLIOMIX_PROGRAM must name the program under test"
#endif
#ifndef FOLIOMIX_PROGRAM_DRIVER
#error "FOLIOMIX_PROGRAM_DRIVER must name the program driver library"
#endif

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Environment(const ProgramSetup& setup) {
    std::vector<std::string> environment;
    // The program's own settings only: nothing of this process's environment but its PATH
    // (where the engine is found) and the user.
    for (const char* name : {"PATH", "USER", "LOGNAME"}) {
        if (const char* value = std::getenv(name)) {
            environment.push_back(std::string(name) + "=" + value);
        }
    }
    environment.emplace_back("QT_QPA_PLATFORM=offscreen");
    environment.push_back("TMPDIR=" + setup.temporaryFolder.string());
    environment.push_back("HOME=" + setup.home.string());
    environment.push_back("XDG_RUNTIME_DIR=" + setup.runtimeFolder.string());
    if (!setup.scene.empty()) {
        environment.emplace_back("LD_PRELOAD=" FOLIOMIX_PROGRAM_DRIVER);
        environment.push_back("FOLIOMIX_DRIVER_SCENE=" + setup.scene);
        environment.push_back("FOLIOMIX_DRIVER_TYPED=" + setup.typed);
        environment.push_back("FOLIOMIX_DRIVER_REPORT=" + setup.report.string());
    }
    return environment;
}

}  // namespace

RunningProgram::RunningProgram(const ProgramSetup& setup) {
    std::vector<std::string> arguments{FOLIOMIX_PROGRAM};
    std::vector<std::string> environment = Environment(setup);
    const std::vector<char*> argv = impress::PointerArray(arguments);
    const std::vector<char*> envp = impress::PointerArray(environment);
    const std::string workFolder = setup.workFolder.string();
    const bool sigintIgnored = setup.sigintIgnored;
    const pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid < 0) {
        throw std::system_error(errno, std::generic_category(), "fork");
    }
    if (pid == 0) {
        // Async-signal-safe calls only until exec: other threads of ours may hold locks.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // should the test die, the program goes too
        if (::getppid() != parent) {
            ::_exit(127);
        }
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction action {};
        sigemptyset(&action.sa_mask);
        action.sa_handler = SIG_DFL;
        ::sigaction(SIGTERM, &action, nullptr);
        action.sa_handler = sigintIgnored ? SIG_IGN : SIG_DFL;
        ::sigaction(SIGINT, &action, nullptr);
        ::close_range(3, ~0U, 0);
        if (::chdir(workFolder.c_str()) != 0) {
            ::_exit(126);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    pid_ = pid;
}

RunningProgram::~RunningProgram() {
    if (!status_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

void RunningProgram::Signal(int number) const { ::kill(pid_, number); }

std::optional<int> RunningProgram::WaitForEnd(std::chrono::milliseconds timeout) {
    WaitFor(
        [this] {
            int status = 0;
            if (!status_ && ::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = status;
            }
            return status_.has_value();
        },
        timeout);
    return status_;
}

std::vector<pid_t> ChildrenNamed(pid_t parent, const std::string& name) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string id = entry.path().filename().string();
        if (id.empty() || !std::all_of(id.begin(), id.end(), ::isdigit)) {
            continue;
        }
        // /proc/<pid>/stat: pid (comm) state ppid …; comm may hold spaces and parentheses.
        std::ifstream stat(entry.path() / "stat");
        std::string text;
        std::getline(stat, text);
        const auto open = text.find('(');
        const auto close = text.rfind(')');
        if (open == std::string::npos || close == std::string::npos) {
            continue;
        }
        const std::string comm = text.substr(open + 1, close - open - 1);
        std::istringstream rest(text.substr(close + 2));
        char state = 0;
        pid_t ppid = 0;
        rest >> state >> ppid;
        if (ppid == parent && comm == name && state != 'Z') {
            children.push_back(static_cast<pid_t>(std::stoi(id)));
        }
    }
    return children;
}

std::vector<std::string> PipeSocketsOf(pid_t pid) {
    const std::string prefix =
        impress::PipeSocketPath("", "foliomix_" + std::to_string(pid) + "_").string();
    std::vector<std::string> sockets;
    for (const std::string& name : NamesIn("/tmp")) {
        if (name.starts_with(prefix)) {
            sockets.push_back(name);
        }
    }
    return sockets;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto processEvents = [](std::chrono::milliseconds pause) {
        QTest::qWait(static_cast<int>(pause.count()));
    };
    return Eventually(condition, timeout, std::chrono::milliseconds(10), processEvents);
}

}  // namespace foliomix::testing
