#include "merge/impress/stuck_call_watch.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace foliomix::impress {

std::optional<std::chrono::nanoseconds> ProcessCpuTime(pid_t pid) {
    if (pid <= 0) {
        return std::nullopt;
    }
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    // The command name, in parentheses, may hold spaces and parentheses itself: the fields
    // are counted from the last closing one. After it come state (3), ... utime (14), stime (15).
    const auto nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    for (int number = 3; number < 14; ++number) {
        if (!(fields >> field)) {
            return std::nullopt;
        }
    }
    unsigned long long user = 0;
    unsigned long long system = 0;
    if (!(fields >> user >> system)) {
        return std::nullopt;
    }
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (ticksPerSecond <= 0) {
        return std::nullopt;
    }
    return std::chrono::nanoseconds(static_cast<long long>(
        (user + system) * (1'000'000'000ULL / static_cast<unsigned long long>(ticksPerSecond))));
}

StuckCallWatch::StuckCallWatch(const EngineLimits& limits,
                               std::chrono::steady_clock::time_point started)
    : limits_(limits), started_(started), lastProgress_(started) {}

std::optional<std::string> StuckCallWatch::Look(std::chrono::steady_clock::time_point now,
                                                std::optional<std::chrono::nanoseconds> cpu) {
    if (cpu && (!lastCpu_ || *cpu > *lastCpu_)) {
        // The first reading is where idleness is counted from: the call began at started_.
        if (lastCpu_) {
            lastProgress_ = now;
        }
        lastCpu_ = cpu;
    }
    if (now - started_ >= limits_.call) {
        return "the engine call took longer than its limit";
    }
    if (now - lastProgress_ >= limits_.idle) {
        return "the engine used no processor time while a call was pending";
    }
    return std::nullopt;
}

}  // namespace foliomix::impress
