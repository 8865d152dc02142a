// The console's control handler, called as the system calls it, on a thread of its own: which
// events request a stop, and that a close keeps the process until the merge has finished (the
// process ends when the handler returns). Wine delivers no Ctrl-Break and no close event to a
// program, so these are called here directly; Ctrl-C reaches the real program in CliProgram.
#include "app/cli/console_control.h"

#include <gtest/gtest.h>

#include <thread>

namespace foliomix::cli {
namespace {

struct Case {
    const char* name;
    DWORD event;
    bool handled;
    bool waitsForTheMerge;
};

void PrintTo(const Case& tested, std::ostream* out) { *out << tested.name; }

class ConsoleControl : public ::testing::TestWithParam<Case> {};

TEST_P(ConsoleControl, RequestsAStopAndReturnsWhenTheProcessMayEnd) {
    const Case& c = GetParam();
    StopRequest stop;
    std::atomic<bool> finished{false};
    bool handled = false;
    bool finishedOnReturn = false;
    std::thread system([&] {
        handled = HandleConsoleControl(c.event, stop, finished, 60'000);
        finishedOnReturn = finished.load();
    });
    if (c.handled) {
        while (!stop.Requested()) {
            Sleep(5);
        }
        // The merge takes its time to end the engine before it finishes.
        Sleep(200);
        finished = true;
        system.join();
    } else {
        system.join();
        finished = true;
    }

    EXPECT_EQ(handled, c.handled);
    EXPECT_EQ(stop.Requested(), c.handled);
    EXPECT_EQ(finishedOnReturn, c.waitsForTheMerge);
}

INSTANTIATE_TEST_SUITE_P(Events, ConsoleControl,
                         ::testing::Values(Case{"CtrlC", CTRL_C_EVENT, true, false},
                                           Case{"CtrlBreak", CTRL_BREAK_EVENT, true, false},
                                           Case{"Close", CTRL_CLOSE_EVENT, true, true},
                                           Case{"Logoff", CTRL_LOGOFF_EVENT, false, false},
                                           Case{"Shutdown", CTRL_SHUTDOWN_EVENT, false, false}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace foliomix::cli
