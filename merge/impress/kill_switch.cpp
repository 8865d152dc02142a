#include "merge/impress/kill_switch.h"

#include <signal.h>
#include <unistd.h>

// glibc 2.36 declares these without C linkage for C++ (fixed in later releases).
extern "C" {
#include <sys/pidfd.h>
}

namespace foliomix::impress {

KillSwitch::~KillSwitch() { Arm(0); }

void KillSwitch::Arm(pid_t engine) {
    const int descriptor = engine > 0 ? ::pidfd_open(engine, 0) : -1;
    const std::lock_guard lock(mutex_);
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
    descriptor_ = descriptor;
    engine_ = engine;
    // An engine armed after a trip (a start that was already under way) is ended at once.
    if (trips_ > 0 && descriptor_ >= 0) {
        ::pidfd_send_signal(descriptor_, SIGKILL, nullptr, 0);
    }
}

void KillSwitch::Trip(const std::string& reason) noexcept {
    const std::lock_guard lock(mutex_);
    if (descriptor_ >= 0) {
        ::pidfd_send_signal(descriptor_, SIGKILL, nullptr, 0);
    }
    if (trips_++ == 0) {
        try {
            reason_ = reason;
        } catch (...) {  // out of memory: the count alone still ends the call
        }
    }
}

std::uint64_t KillSwitch::Trips() const {
    const std::lock_guard lock(mutex_);
    return trips_;
}

std::string KillSwitch::Reason() const {
    const std::lock_guard lock(mutex_);
    return reason_;
}

void KillSwitch::Reset() {
    const std::lock_guard lock(mutex_);
    trips_ = 0;
    reason_.clear();
}

pid_t KillSwitch::Engine() const {
    const std::lock_guard lock(mutex_);
    return engine_;
}

}  // namespace foliomix::impress
