// The real program, started as a process of its own: SIGINT and SIGTERM end it through its
// normal shutdown, whatever it is doing (idle, showing a dialog, merging with the engine at
// work), so that no engine runs afterwards and nothing of ours is left in its temporary folder;
// and what a killed run left there goes at the next start, while a second program that runs
// keeps what is its own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "merge/impress/engine_leftovers.h"
#include "tests/impress/deck_maker.h"
#include "tests/linux_e2e/running_program.h"
#include "tests/support/qt_path.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::IsEmpty;

constexpr int kDecks = 6;

std::string Describe(int status) {
    if (WIFSIGNALED(status)) {
        return "ended by signal " + std::to_string(WTERMSIG(status));
    }
    return "exited with " + std::to_string(WEXITSTATUS(status));
}

bool Reported(const fs::path& report, const std::string& stage) {
    std::ifstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line == stage) {
            return true;
        }
    }
    return false;
}

// Whether the process `pid` ignores the signal `number`, as its status in /proc says.
bool IgnoresSignal(pid_t pid, int number) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("SigIgn:")) {
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return ((mask >> (number - 1)) & 1U) != 0;
        }
    }
    return false;
}

// The folders in `temporary` that an engine of `pid` works in.
std::vector<std::string> EngineProfilesOf(pid_t pid, const fs::path& temporary) {
    std::vector<std::string> profiles;
    for (const std::string& name : NamesIn(temporary)) {
        if (name.starts_with("foliomix-impress-" + std::to_string(pid) + "-")) {
            profiles.push_back(name);
        }
    }
    return profiles;
}

// The program's engine at work: its process and its profile folder.
struct Engine {
    pid_t pid = 0;
    fs::path profile;
};

class ProgramTest : public ::testing::Test {
  protected:
    // The decks every merge here merges, made once: enough for a merge to take seconds.
    static void SetUpTestSuite() {
        decks_ = std::make_unique<QTemporaryDir>();
        DeckMaker maker;
        for (int deck = 1; deck <= kDecks; ++deck) {
            std::vector<std::string> titles;
            for (int slide = 1; slide <= 4; ++slide) {
                titles.push_back("D" + std::to_string(deck) + " " + std::to_string(slide));
            }
            maker.Make(PathOf(decks_->filePath(QStringLiteral("d%1.ppt").arg(deck))), titles);
        }
    }
    static void TearDownTestSuite() { decks_.reset(); }

    // A program's folders, each its own, inside this test's folder; the decks' folder is its
    // home, where the open dialog starts.
    ProgramSetup SetupFor(const std::string& name, const std::string& scene = {}) {
        const fs::path base = PathOf(folder_.path()) / name;
        ProgramSetup setup{.temporaryFolder = base / "tmp",
                           .home = PathOf(decks_->path()),
                           .workFolder = base / "work",
                           .runtimeFolder = base / "runtime",
                           .scene = scene,
                           .typed = {},
                           .report = base / "report"};
        for (const fs::path& folder :
             {setup.temporaryFolder, setup.workFolder, setup.runtimeFolder}) {
            fs::create_directories(folder);
        }
        fs::permissions(setup.runtimeFolder, fs::perms::owner_all);  // as Qt wants it
        for (int deck = 1; deck <= kDecks; ++deck) {
            setup.typed += "\"d" + std::to_string(deck) + ".ppt\" ";
        }
        return setup;
    }

    // Waits until the program has made its first folder in its temporary folder (its settings
    // folder: the program is up), where the names `known` were already.
    static bool Started(const ProgramSetup& setup, const std::vector<std::string>& known = {}) {
        return WaitFor(
            [&] {
                const std::vector<std::string> names = NamesIn(setup.temporaryFolder);
                return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
                    return std::find(known.begin(), known.end(), name) == known.end();
                });
            },
            30s);
    }

    // Waits until the program's engine is at work: its process runs in its profile and takes
    // calls on its pipe.
    static std::optional<Engine> EngineAtWork(const RunningProgram& program,
                                              const ProgramSetup& setup) {
        Engine engine;
        WaitFor(
            [&] {
                const auto children = ChildrenNamed(program.Pid(), "soffice.bin");
                const auto profiles = EngineProfilesOf(program.Pid(), setup.temporaryFolder);
                if (children.empty() || profiles.empty() || PipeSocketsOf(program.Pid()).empty()) {
                    return false;
                }
                engine = {children.front(), setup.temporaryFolder / profiles.front()};
                return true;
            },
            60s);
        return engine.pid > 0 ? std::optional(engine) : std::nullopt;
    }

    static std::unique_ptr<QTemporaryDir> decks_;
    QTemporaryDir folder_;
};

std::unique_ptr<QTemporaryDir> ProgramTest::decks_;

enum class Scene { kIdle, kOpenDialog, kMerging };

struct SignalCase {
    const char* name;
    Scene scene;
    bool sigintIgnored;     // as the program was started
    std::vector<int> sent;  // in this order
    int endedBy;
};

TEST_F(ProgramTest, SigintAndSigtermEndItThroughItsNormalShutdown) {
    const std::vector<SignalCase> cases = {
        {"SIGTERM, idle", Scene::kIdle, false, {SIGTERM}, SIGTERM},
        {"SIGINT, idle", Scene::kIdle, false, {SIGINT}, SIGINT},
        {"SIGTERM, the open dialog up", Scene::kOpenDialog, false, {SIGTERM}, SIGTERM},
        {"SIGTERM, merging", Scene::kMerging, false, {SIGTERM}, SIGTERM},
        {"SIGINT, merging", Scene::kMerging, false, {SIGINT}, SIGINT},
        // A program started in the background by a shell keeps ignoring SIGINT.
        {"SIGINT ignored since the start, then SIGTERM",
         Scene::kIdle,
         true,
         {SIGINT, SIGTERM},
         SIGTERM},
    };
    for (const SignalCase& c : cases) {
        SCOPED_TRACE(c.name);
        ProgramSetup setup = SetupFor(c.name, c.scene == Scene::kIdle         ? ""
                                              : c.scene == Scene::kOpenDialog ? "open dialog"
                                                                              : "merge");
        setup.sigintIgnored = c.sigintIgnored;
        RunningProgram program(setup);
        ASSERT_TRUE(Started(setup));
        std::optional<Engine> engine;
        if (c.scene == Scene::kOpenDialog) {
            ASSERT_TRUE(WaitFor([&] { return Reported(setup.report, "open dialog"); }, 30s));
        } else if (c.scene == Scene::kMerging) {
            engine = EngineAtWork(program, setup);
            ASSERT_TRUE(engine.has_value());
        }

        // One started with SIGINT ignored leaves it so.
        EXPECT_EQ(IgnoresSignal(program.Pid(), SIGINT), c.sigintIgnored);
        for (const int number : c.sent) {
            program.Signal(number);
        }
        const std::optional<int> status = program.WaitForEnd(60s);
        ASSERT_TRUE(status.has_value()) << "still running";
        // Shut down, then ended by the signal, so that whoever started it sees why.
        EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == c.endedBy) << Describe(*status);
        EXPECT_THAT(NamesIn(setup.temporaryFolder), IsEmpty());
        EXPECT_THAT(PipeSocketsOf(program.Pid()), IsEmpty());
        if (engine) {
            EXPECT_FALSE(ProcessAlive(engine->pid));
            EXPECT_FALSE(fs::exists(
                impress::SingleInstanceSocketPath("/tmp", impress::ProfileUrl(engine->profile))));
            // Stopped in the middle: nothing saved.
            EXPECT_THAT(NamesIn(setup.workFolder), IsEmpty());
        }
    }
}

TEST_F(ProgramTest, WhatAKilledRunLeftGoesAtTheNextStartWhatARunningOneHasStays) {
    // All three programs share one temporary folder, as programs of one user do.
    const ProgramSetup running = SetupFor("running");
    ProgramSetup killed = SetupFor("killed", "merge");
    ProgramSetup next = SetupFor("next");
    killed.temporaryFolder = next.temporaryFolder = running.temporaryFolder;
    const fs::path& temporary = running.temporaryFolder;

    RunningProgram second(running);
    ASSERT_TRUE(Started(running));
    const std::vector<std::string> ofTheRunningOne = NamesIn(temporary);

    std::vector<std::string> leftovers;
    std::vector<std::string> leftoverSockets;
    {
        RunningProgram program(killed);
        const std::optional<Engine> engine = EngineAtWork(program, killed);
        ASSERT_TRUE(engine.has_value());
        program.Signal(SIGKILL);
        ASSERT_TRUE(program.WaitForEnd(30s).has_value());
        // The engine goes with the program; what they had on disk stays.
        ASSERT_TRUE(WaitFor([&] { return !ProcessAlive(engine->pid); }, 30s));
        for (const std::string& name : NamesIn(temporary)) {
            if (std::find(ofTheRunningOne.begin(), ofTheRunningOne.end(), name) ==
                ofTheRunningOne.end()) {
                leftovers.push_back(name);
            }
        }
        leftoverSockets = PipeSocketsOf(program.Pid());
        EXPECT_THAT(leftovers, ::testing::Contains(engine->profile.filename().string()));
        EXPECT_GE(leftovers.size(), 2U) << "the settings folder and the engine's profile";
        EXPECT_FALSE(leftoverSockets.empty());
    }

    RunningProgram third(next);
    std::vector<std::string> known = ofTheRunningOne;
    known.insert(known.end(), leftovers.begin(), leftovers.end());
    ASSERT_TRUE(Started(next, known));
    for (const std::string& name : leftovers) {
        EXPECT_FALSE(fs::exists(temporary / name)) << name;
    }
    for (const std::string& name : leftoverSockets) {
        EXPECT_FALSE(fs::exists(fs::path("/tmp") / name)) << name;
    }
    for (const std::string& name : ofTheRunningOne) {
        EXPECT_TRUE(fs::exists(temporary / name)) << name;
    }

    for (RunningProgram* program : {&second, &third}) {
        program->Signal(SIGTERM);
        EXPECT_TRUE(program->WaitForEnd(60s).has_value());
    }
    EXPECT_THAT(NamesIn(temporary), IsEmpty());
}

}  // namespace
}  // namespace foliomix::testing
