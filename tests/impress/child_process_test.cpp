// The engine's process: what it inherits from us, how its end is seen, and that nothing of its
// group outlives it or us.
#include "merge/impress/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "merge/impress/temporary_directory.h"
#include "merge/presentation_server.h"
#include "tests/impress/deck_maker.h"
#include "tests/support/eventually.h"
#include "tests/support/files.h"

namespace foliomix::impress {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ProcessAlive;

using testing::Eventually;
using testing::FileBytes;

// How long, generously, something that must happen may take.
constexpr std::chrono::seconds kPatience{20};

class ChildProcessTest : public ::testing::Test {
  protected:
    // Runs a shell command line as a child and waits for it to end.
    void RunShell(const std::string& commands) {
        ChildProcess child("/bin/sh", {"-c", commands}, {"PATH=/usr/bin:/bin"});
        ASSERT_TRUE(child.WaitForExit(std::chrono::seconds(20)));
        ASSERT_EQ(child.ExitCode(), 0);
    }

    TemporaryDirectory folder{"foliomix-child-test-"};
    const fs::path out = folder.Path() / "out";
};

TEST_F(ChildProcessTest, InheritsOnlyItsStandardStreams) {
    // Descriptors a careless start would pass on: no close-on-exec flag on either.
    std::ofstream(out) << "x";
    const int file = ::open(out.c_str(), O_RDONLY);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const auto target = [](const fs::path& link) {
        std::error_code error;
        return fs::read_symlink(link, error).string();
    };
    const std::string ours[] = {target("/proc/self/fd/" + std::to_string(file)),
                                target("/proc/self/fd/" + std::to_string(pipeEnds[0]))};
    const ChildProcess child("/bin/sleep", {"300"}, {});
    // Compared by what they lead to: the program's own start may hold a descriptor of its own
    // for a moment (the loader opening a library).
    std::vector<std::string> held;
    for (const auto& entry :
         fs::directory_iterator("/proc/" + std::to_string(child.Pid()) + "/fd")) {
        held.push_back(target(entry.path()));
    }
    ::close(file);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    for (const std::string& leaked : ours) {
        EXPECT_THAT(held, ::testing::Not(::testing::Contains(leaked)));
    }
    EXPECT_THAT(held, ::testing::Contains("/dev/null"));
}

TEST_F(ChildProcessTest, InheritsNoneOfOurSignalSettings) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous {};
    ASSERT_EQ(::sigaction(SIGUSR1, &ignore, &previous), 0);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR2);
    sigset_t previousMask;
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask), 0);
    const ChildProcess child("/bin/sleep", {"300"}, {});
    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ::sigaction(SIGUSR1, &previous, nullptr);

    const std::string status = FileBytes("/proc/" + std::to_string(child.Pid()) + "/status");
    EXPECT_THAT(status, HasSubstr("SigBlk:\t0000000000000000"));
    EXPECT_THAT(status, HasSubstr("SigIgn:\t0000000000000000"));
}

TEST_F(ChildProcessTest, TellsItsExitCode) {
    ChildProcess child("/bin/sh", {"-c", "exit 81"}, {});
    EXPECT_TRUE(child.WaitForExit(std::chrono::seconds(20)));
    EXPECT_FALSE(child.Running());
    EXPECT_EQ(child.ExitCode(), 81);
}

TEST_F(ChildProcessTest, WhatItLeavesInItsGroupEndsWithIt) {
    ChildProcess child("/bin/sh", {"-c", "sleep 300 & echo $! > '" + out.string() + "'"},
                       {"PATH=/usr/bin:/bin"});
    ASSERT_TRUE(child.WaitForExit(std::chrono::seconds(20)));
    const int helper = std::stoi(FileBytes(out));
    EXPECT_TRUE(Eventually([&] { return !ProcessAlive(helper); }, kPatience)) << helper;
}

TEST_F(ChildProcessTest, AProgramThatCannotRunIsAFailure) {
    for (const char* program : {"/nonexistent/program", "/tmp"}) {
        SCOPED_TRACE(program);
        EXPECT_THROW(ChildProcess(program, {}, {}), ServerError);
    }
}

TEST_F(ChildProcessTest, EndsWhenWeAreKilled) {
    const fs::path pidFile = folder.Path() / "sleeper.pid";
    int sleeper = 0;
    {
        ChildProcess probe(FOLIOMIX_CHILD_PROCESS_PROBE, {pidFile.string()}, {});
        ASSERT_TRUE(Eventually([&] { return fs::exists(pidFile) || !probe.Running(); }, kPatience));
        sleeper = std::stoi(FileBytes(pidFile));
        ASSERT_TRUE(ProcessAlive(sleeper));
        // Leaving the scope kills the probe with SIGKILL: it can clean up nothing itself.
    }
    EXPECT_TRUE(Eventually([&] { return !ProcessAlive(sleeper); }, kPatience)) << sleeper;
}

}  // namespace
}  // namespace foliomix::impress
