// SIGINT, SIGTERM and SIGHUP (the terminal went away) request a stop. Each is caught unless it was
// ignored when the program started (as a shell ignores SIGINT for a program it starts in the
// background with "&"). SIGPIPE is ignored: a standard error that was closed (a pager quit) must
// not end the program before it has ended the engine and removed its files; the write fails
// instead.
#include <signal.h>

#include <array>

#include "app/cli/stop_request.h"
#include "app/cli/stop_signals.h"

namespace foliomix::cli {
namespace {

constexpr std::array<int, 4> kSignals{SIGINT, SIGTERM, SIGHUP, SIGPIPE};
std::array<struct sigaction, kSignals.size()> previous{};

void OnStopSignal(int /*number*/) { ProgramStopRequest().Request(); }

}  // namespace

StopSignals::StopSignals() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], nullptr, &previous[i]);
        if (previous[i].sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = kSignals[i] == SIGPIPE ? SIG_IGN : OnStopSignal;
        sigemptyset(&action.sa_mask);
        // Calls the signal interrupts in other threads (the engine's bridge) carry on.
        action.sa_flags = SA_RESTART;
        ::sigaction(kSignals[i], &action, nullptr);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &previous[i], nullptr);
    }
}

}  // namespace foliomix::cli
