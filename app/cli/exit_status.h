// What foliomix-merge's exit status tells whoever started it. --help and the manual page list
// the same values: scripts depend on them, so a value never changes its meaning.
#pragma once

namespace foliomix::cli {

enum class ExitStatus : int {
    kMerged = 0,
    // Anything else that failed (the message says what): not expected to happen.
    kOtherFailure = 1,
    // A usage error, an input that is no readable file, an output that exists (without
    // --force), a name whose format is not known: found before the engine starts.
    kUsage = 2,
    // The engine is not installed or does not start.
    kEngineUnavailable = 3,
    // An input could not be inserted (or the result not made).
    kInsertFailed = 4,
    // The result could not be saved, or not put in place.
    kSaveFailed = 5,
    // Stopped by a signal (SIGINT, SIGTERM, SIGHUP) or the console's interrupt: 128 + SIGINT,
    // as a shell reports a program that Ctrl-C ended.
    kInterrupted = 130,
};

[[nodiscard]] constexpr int ExitCode(ExitStatus status) { return static_cast<int>(status); }

}  // namespace foliomix::cli
