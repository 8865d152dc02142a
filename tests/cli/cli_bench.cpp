// Benchmark of foliomix-merge on a large merge; prints figures, asserts no timing.
//
//   foliomix_cli_bench [--output EXT] [--decks DIR] [--program PATH] [--engine PATH]
//
// Makes 100 decks x 50 slides of text once (in DIR, kept for later runs; else in a temporary
// folder), then runs the program on the first 10, 50 and 100 of them, through an input list,
// into a result of type EXT (default .ppt, as the window proposes). Prints for each run the
// wall time, the time until the program reports that it saves (the inserts), the time per
// slide in wall time and in processor time (the program's and its engine's, which a shared
// machine disturbs less), and the engine's peak memory measured two ways: the engine's own VmHWM in
// /proc, read every 100 ms while it runs, and wait4's ru_maxrss of the program, which covers its
// children once it has reaped them (so the larger of the program and its engine). Last, the extra
// time per slide from 50 to 100 decks: a merge whose cost is linear keeps it near the per-slide
// time.
// --program runs another build of foliomix-merge (an A/B comparison on the same decks);
// --engine has the program drive that engine (its soffice or program folder).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "merge/impress/temporary_directory.h"
#include "tests/impress/deck_maker.h"

#ifndef FOLIOMIX_MERGE_PROGRAM
#error "FOLIOMIX_MERGE_PROGRAM must name the program under test"
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kDecks = 100;
constexpr int kSlidesPerDeck = 50;

struct Run {
    double seconds = 0;
    double inserting = 0;  // until the program reports that it saves
    int exitCode = -1;
    long procPeakKiB = 0;    // the engine's VmHWM, last read
    long rusagePeakKiB = 0;  // wait4's ru_maxrss
    double cpuSeconds = 0;   // user + system time of the program and its reaped engine
};

// The engine's peak resident size so far (VmHWM), in KiB; 0 when it cannot be read.
long PeakOf(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

Run Merge(const std::string& program, const std::string& engine, const fs::path& list,
          const fs::path& output) {
    std::vector<std::string> arguments{program,         "-f",          "-o",
                                       output.string(), "--from-file", list.string()};
    if (!engine.empty()) {
        arguments.insert(arguments.end(), {"--engine", engine});
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::array<int, 2> progress{};
    if (::pipe2(progress.data(), O_CLOEXEC) != 0) {
        std::perror("pipe2");
        std::exit(1);
    }
    Run run;
    const auto started = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(progress[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(progress[1]);
    const std::string profile = "foliomix-impress-" + std::to_string(pid) + "-";
    int enginePid = 0;
    int status = 0;
    rusage usage{};
    std::string lines;
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (enginePid == 0) {
            const std::vector<int> found = foliomix::testing::ProcessesMentioning(profile);
            enginePid = found.empty() ? 0 : found.front();
        }
        if (enginePid != 0) {
            // VmHWM only grows: the last reading before the engine ends is its peak, short
            // of what the last 100 ms added.
            if (const long peak = PeakOf(enginePid); peak > 0) {
                run.procPeakKiB = peak;
            }
        }
        // Waits up to 100 ms for progress, which tells when the inserts are done.
        pollfd readable{progress[0], POLLIN, 0};
        if (::poll(&readable, 1, 100) > 0) {
            char buffer[4096];
            const ssize_t got = ::read(progress[0], buffer, sizeof buffer);
            if (got > 0) {
                lines.append(buffer, static_cast<std::size_t>(got));
                if (run.inserting == 0 && lines.find("\nsaving ") != std::string::npos) {
                    run.inserting = std::chrono::duration<double>(Clock::now() - started).count();
                }
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
    }
    ::close(progress[0]);
    run.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.rusagePeakKiB = usage.ru_maxrss;
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return run;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string extension = ".ppt";
    fs::path kept;
    std::string program = FOLIOMIX_MERGE_PROGRAM;
    std::string engine;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--output") == 0) {
            extension = argv[i + 1];
        } else if (std::strcmp(argv[i], "--decks") == 0) {
            kept = argv[i + 1];
        } else if (std::strcmp(argv[i], "--program") == 0) {
            program = argv[i + 1];
        } else if (std::strcmp(argv[i], "--engine") == 0) {
            engine = argv[i + 1];
        }
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr,
                     "usage: %s [--output .ppt|.pptx|.odp|.pdf] [--decks DIR] [--program PATH] "
                     "[--engine PATH]\n",
                     argv[0]);
        return 2;
    }
    foliomix::impress::TemporaryDirectory temporary("foliomix-cli-bench-");
    const fs::path folder = kept.empty() ? temporary.Path() : kept;
    fs::create_directories(folder);
    std::vector<fs::path> decks;
    {
        const auto started = Clock::now();
        std::unique_ptr<foliomix::testing::DeckMaker> maker;
        for (int d = 1; d <= kDecks; ++d) {
            decks.push_back(folder / ("deck " + std::to_string(d) + ".ppt"));
            if (fs::exists(decks.back())) {
                continue;
            }
            std::vector<std::string> titles;
            for (int s = 1; s <= kSlidesPerDeck; ++s) {
                titles.push_back("演示 " + std::to_string(d) + " 幻灯片 " + std::to_string(s));
            }
            if (!maker) {
                maker = std::make_unique<foliomix::testing::DeckMaker>();
            }
            maker->Make(decks.back(), titles);
        }
        std::printf("%d decks x %d slides ready in %.1f s\n", kDecks, kSlidesPerDeck,
                    std::chrono::duration<double>(Clock::now() - started).count());
    }
    std::printf("%6s %7s %9s %10s %10s %14s %16s %18s\n", "decks", "slides", "seconds", "inserting",
                "ms/slide", "CPU ms/slide", "engine VmHWM MiB", "wait4 maxrss MiB");
    std::vector<std::pair<int, double>> times;
    std::vector<double> cpu;
    for (const int count : {10, 50, 100}) {
        const fs::path list = temporary.Path() / ("list " + std::to_string(count) + ".txt");
        {
            std::ofstream out(list);
            for (int d = 0; d < count; ++d) {
                out << decks[static_cast<std::size_t>(d)].string() << '\n';
            }
        }
        const Run run = Merge(program, engine, list, temporary.Path() / ("merged" + extension));
        const int slides = count * kSlidesPerDeck;
        std::printf("%6d %7d %9.1f %10.1f %10.2f %14.2f %16.0f %18.0f%s\n", count, slides,
                    run.seconds, run.inserting, 1000 * run.seconds / slides,
                    1000 * run.cpuSeconds / slides, static_cast<double>(run.procPeakKiB) / 1024,
                    static_cast<double>(run.rusagePeakKiB) / 1024,
                    run.exitCode == 0 ? "" : "   FAILED");
        std::fflush(stdout);
        times.emplace_back(slides, run.seconds);
        cpu.push_back(run.cpuSeconds);
    }
    const double slidesAdded = times[2].first - times[1].first;
    std::printf("extra time per slide from 50 to 100 decks: %.2f ms (CPU %.2f ms)\n",
                1000 * (times[2].second - times[1].second) / slidesAdded,
                1000 * (cpu[2] - cpu[1]) / slidesAdded);
    return 0;
}
