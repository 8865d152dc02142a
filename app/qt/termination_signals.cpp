#include "app/qt/termination_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace foliomix::qt {
namespace {

// What the handler reads and writes: lock-free atomics are safe to use in a signal handler.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> writeEndForHandler{-1};
std::atomic<int> firstCaught{0};

void OnSignal(int number) {
    const int savedErrno = errno;
    int none = 0;
    firstCaught.compare_exchange_strong(none, number);
    if (const int fd = writeEndForHandler.load(); fd >= 0) {
        // Never blocks: with the socket full, a close is waiting already.
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

std::array<int, 2> SocketPair() {
    std::array<int, 2> ends{};
    // Close-on-exec: the engine we start must not hold it.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends.data()) != 0) {
        throw std::system_error(errno, std::generic_category(), "socketpair");
    }
    return ends;
}

}  // namespace

TerminationSignals::Descriptor::~Descriptor() { ::close(fd_); }

TerminationSignals::TerminationSignals() : TerminationSignals(SocketPair()) {}

TerminationSignals::TerminationSignals(std::array<int, 2> socketEnds)
    : readEnd_(socketEnds[0]),
      writeEnd_(socketEnds[1]),
      notifier_(readEnd_.Get(), QSocketNotifier::Read) {
    int none = -1;
    if (!writeEndForHandler.compare_exchange_strong(none, writeEnd_.Get())) {
        throw std::logic_error("the termination signals are caught already");
    }
    QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
        Drain();
        if (window_ != nullptr) {
            window_->close();
        }
    });
    Catch(SIGINT, previousInt_);
    Catch(SIGTERM, previousTerm_);
}

TerminationSignals::~TerminationSignals() {
    ::sigaction(SIGINT, &previousInt_, nullptr);
    ::sigaction(SIGTERM, &previousTerm_, nullptr);
    writeEndForHandler = -1;
}

void TerminationSignals::Catch(int number, struct sigaction& previous) {
    ::sigaction(number, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Calls the signal interrupts in other threads (the engine's bridge) carry on.
    action.sa_flags = SA_RESTART;
    ::sigaction(number, &action, nullptr);
}

void TerminationSignals::Drain() const {
    char bytes[64];
    while (::read(readEnd_.Get(), bytes, sizeof bytes) > 0) {
    }
}

void TerminationSignals::CloseOnSignal(QWidget& window) { window_ = &window; }

int TerminationSignals::Caught() { return firstCaught.load(); }

void TerminationSignals::EndByTheSignalCaught() {
    const int number = Caught();
    if (number == 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(number, &action, nullptr);
    ::raise(number);
}

}  // namespace foliomix::qt
