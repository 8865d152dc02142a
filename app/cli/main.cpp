// foliomix-merge: joins presentations into one new presentation from the command line, with
// the engine of the platform it is built for. See --help and foliomix-merge.1.
#include <exception>
#include <iostream>

#include "app/cli/command_line.h"
#include "app/cli/console_output.h"
#include "app/cli/console_platform.h"
#include "app/cli/engine_choice.h"
#include "app/cli/exit_status.h"
#include "app/cli/help_text.h"
#include "app/cli/merge_command.h"
#include "app/cli/stop_request.h"
#include "app/cli/stop_signals.h"

namespace {

using namespace foliomix::cli;

ExitStatus Run(int argc, char* argv[], ConsoleOutput& console) {
    const EngineChoice engine = PlatformEngine();
    CommandLine line;
    try {
        line = ParseCommandLine(Utf8Arguments(argc, argv));
    } catch (const UsageError& e) {
        console.Message(std::string(e.what()) + " (see --help)");
        return ExitStatus::kUsage;
    }
    switch (line.action) {
        case Action::kHelp:
            std::cout << HelpText(engine.name, engine.outputExtensions) << std::flush;
            return ExitStatus::kMerged;
        case Action::kVersion:
            std::cout << VersionText() << std::flush;
            return ExitStatus::kMerged;
        case Action::kMerge:
            break;
    }
    const auto inputs = CheckedInputs(line.merge, engine, std::cin, console);
    if (!inputs) {
        return ExitStatus::kUsage;
    }
    // Until now a signal ends the program at once, as it should while it waits for a list on
    // its standard input: nothing of ours exists yet. From now on it asks the merge to stop,
    // which ends the engine and removes what the merge made.
    const StopSignals stopSignals;
    return RunMerge(line.merge, *inputs, engine, console, ProgramStopRequest());
}

}  // namespace

int main(int argc, char* argv[]) {
    // Before anything is written, and ended after the last.
    const ConsoleText text;
    ConsoleOutput console(std::cerr, StandardErrorTerminalColumns());
    try {
        return ExitCode(Run(argc, argv, console));
    } catch (const std::exception& e) {
        // Whatever failed, the engine has been ended by then (every owner is RAII).
        console.Message(std::string("unexpected failure: ") + e.what());
        return ExitCode(ExitStatus::kOtherFailure);
    }
}
