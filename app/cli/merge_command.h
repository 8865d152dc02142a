// foliomix-merge's merge, from the request to the exit status. Everything that can be checked
// without the engine is checked first, and every problem found is reported (the output, each
// bad input): the engine starts only for a merge that can succeed. The engine writes into a
// staging folder beside the output; the result is renamed onto the output only when the whole
// job succeeded and no stop was requested, so a failure or an interruption leaves no output
// and an existing one as it was.
#pragma once

#include <istream>
#include <optional>
#include <vector>

#include "app/cli/command_line.h"
#include "app/cli/console_output.h"
#include "app/cli/console_progress.h"
#include "app/cli/engine_choice.h"
#include "app/cli/exit_status.h"
#include "app/cli/stop_request.h"

namespace foliomix::cli {

// The inputs, the list's after the arguments', once the request has been checked; nothing
// when it cannot be carried out, every problem reported (exit status kUsage). `standardInput`
// is read for a list named "-".
[[nodiscard]] std::optional<std::vector<MergeInput>> CheckedInputs(const MergeRequest& request,
                                                                   const EngineChoice& engine,
                                                                   std::istream& standardInput,
                                                                   ConsoleOutput& console);

// The merge of `inputs` (as CheckedInputs gave them) into the request's output.
[[nodiscard]] ExitStatus RunMerge(const MergeRequest& request,
                                  const std::vector<MergeInput>& inputs, const EngineChoice& engine,
                                  ConsoleOutput& console, const StopRequest& stop);

}  // namespace foliomix::cli
