// The engine this platform's command line drives, and what it can write. Each platform picks
// its engine in a file of its own; everything else of the command line is the same everywhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/stop_request.h"
#include "merge/presentation_server.h"

namespace foliomix::cli {

// The engine's server, made ready for a console: a stop request ends a pending engine call at
// once (the call fails), instead of after the call.
class ConsoleEngine {
  public:
    virtual ~ConsoleEngine() = default;
    [[nodiscard]] virtual PresentationServer& Server() = 0;
};

// The engine program a merge is to drive.
struct EngineSelection {
    std::string program;  // empty: the one the platform finds itself
    std::string problem;  // not empty: the engine asked for cannot be driven, and why
};

struct EngineChoice {
    // As messages and --help name it.
    std::string_view name;
    // The formats it writes, by extension, lower case with the dot (".pptx").
    std::vector<std::string_view> outputExtensions;
    // The engine that `requested` (--engine) names, else the one the platform's environment
    // names, else none in particular.
    std::function<EngineSelection(const std::optional<std::string>& requested)> select;
    // The warning to give before `slides` slides are saved as `extension` (as above), when the
    // engine's export of that format may need more memory than the machine has free; empty
    // otherwise. None: the engine's saves are not known to need much.
    std::function<std::string(std::string_view extension, std::int64_t slides)> saveWarning;
    // Makes the server for the selected program; the engine itself starts with the job. The
    // stop request must outlive what it makes.
    std::function<std::unique_ptr<ConsoleEngine>(const StopRequest&, const std::string& program)>
        make;
};

[[nodiscard]] EngineChoice PlatformEngine();

}  // namespace foliomix::cli
