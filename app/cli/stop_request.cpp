#include "app/cli/stop_request.h"

namespace foliomix::cli {
namespace {

// Constant-initialised: ready before any handler can run.
constinit StopRequest programStopRequest;

}  // namespace

StopRequest& ProgramStopRequest() noexcept { return programStopRequest; }

}  // namespace foliomix::cli
