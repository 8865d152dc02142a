// The engine this platform's command line drives, and what it can write. Each platform picks
// its engine in a file of its own; everything else of the command line is the same everywhere.
#pragma once

#include <functional>
#include <memory>
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

struct EngineChoice {
    // As messages and --help name it.
    std::string_view name;
    // The formats it writes, by extension, lower case with the dot (".pptx").
    std::vector<std::string_view> outputExtensions;
    // Makes the server; the engine itself starts with the job. The stop request must outlive
    // what it makes.
    std::function<std::unique_ptr<ConsoleEngine>(const StopRequest&)> make;
};

[[nodiscard]] EngineChoice PlatformEngine();

}  // namespace foliomix::cli
