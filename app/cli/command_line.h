// foliomix-merge's arguments: what they ask for, or why they cannot be understood.
//
//   foliomix-merge [-o OUT | --output OUT] [-f | --force] [-q | --quiet] [-v | --verbose]
//                  [--engine PATH] [--from-file LIST] IN...
//   foliomix-merge --help | --version
//
// Options and inputs may come in any order; "--" ends the options, so that an input whose name
// starts with "-" can be given. A long option takes its value as the next argument or after
// "=", -o also attached ("-oOUT"); short flags may be grouped ("-fq").
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace foliomix::cli {

// The message says what is wrong, in one line, without the program's name.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct MergeRequest {
    std::string output;               // UTF-8, as given
    bool force = false;               // replace an existing output
    bool quiet = false;               // no progress
    bool verbose = false;             // a failure's message also gives the engine's own words
    std::vector<std::string> inputs;  // UTF-8, in the order given
    // Read after the inputs given as arguments; "-" is the standard input.
    std::optional<std::string> inputList;
    // The engine to drive (--engine), UTF-8 as given; none: the platform's choice.
    std::optional<std::string> engine;

    friend bool operator==(const MergeRequest&, const MergeRequest&) = default;
};

enum class Action { kMerge, kHelp, kVersion };

struct CommandLine {
    Action action = Action::kMerge;
    MergeRequest merge;  // for kMerge
};

// `arguments` without the program's name, UTF-8. --help wins over --version, and both over
// everything else but an option that is not known. Throws UsageError.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The program's name as its messages begin: "foliomix-merge".
inline constexpr const char* kProgramName = "foliomix-merge";

}  // namespace foliomix::cli
