#include "app/cli/merge_command.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "app/cli/console_platform.h"
#include "app/cli/console_progress.h"
#include "app/cli/input_files.h"
#include "merge/merge_job.h"

namespace foliomix::cli {

namespace fs = std::filesystem;

namespace {

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text;
}

std::string ExtensionOf(const fs::path& path) { return LowerCase(PathToUtf8(path.extension())); }

// What keeps the output from being written, or nothing.
std::optional<std::string> OutputProblem(const MergeRequest& request, const EngineChoice& engine) {
    const fs::path output = PathFromUtf8(request.output);
    const fs::path name = output.filename();
    if (name.empty() || name == "." || name == "..") {
        return request.output + ": names a folder, not a file";
    }
    const std::string extension = ExtensionOf(output);
    const auto& known = engine.outputExtensions;
    if (std::find(known.begin(), known.end(), extension) == known.end() ||
        !SaveFormatNamedBy(output.u16string())) {
        std::string formats;
        for (const std::string_view each : known) {
            formats += (formats.empty() ? "" : ", ") + std::string(each);
        }
        return request.output + ": the extension gives no format " + std::string(engine.name) +
               " writes (" + formats + ")";
    }
    std::error_code error;
    const fs::file_status status = fs::status(output, error);
    if (status.type() == fs::file_type::directory) {
        return request.output + ": is a folder";
    }
    if (fs::exists(status) && !request.force) {
        return request.output + ": exists (--force replaces it)";
    }
    return std::nullopt;
}

// The inputs given as arguments, then those of the list. Throws std::runtime_error when the
// list cannot be read.
std::vector<MergeInput> Inputs(const MergeRequest& request, std::istream& standardInput) {
    std::vector<std::string> given = request.inputs;
    if (request.inputList) {
        std::vector<std::string> listed;
        if (*request.inputList == "-") {
            listed = ReadInputList(standardInput);
        } else {
            errno = 0;
            std::ifstream list(PathFromUtf8(*request.inputList), std::ios::binary);
            if (!list.is_open()) {
                throw std::runtime_error(
                    "cannot read the list " + *request.inputList +
                    (errno != 0 ? ": " + std::string(std::strerror(errno)) : std::string()));
            }
            listed = ReadInputList(list);
        }
        given.insert(given.end(), listed.begin(), listed.end());
    }
    std::vector<MergeInput> inputs;
    for (std::string& each : given) {
        WrittenInput written = SplitSlidePicks(each);
        fs::path path = PathFromUtf8(written.file);
        std::error_code error;
        // The engine has a current folder of its own: it is given absolute paths.
        fs::path absolute = path.empty() ? path : fs::absolute(path, error);
        inputs.push_back({std::move(each), error ? std::move(path) : std::move(absolute),
                          std::move(written.picks)});
    }
    return inputs;
}

// For an input that names no file but would name one without its "@…": that the part after
// the "@" is no slide range, which is what the user more likely got wrong.
std::string NoRangeHint(const MergeInput& input) {
    const std::size_t at = input.given.rfind('@');
    if (!input.picks.empty() || at == std::string::npos || at == 0) {
        return {};
    }
    std::error_code error;
    if (!fs::is_regular_file(PathFromUtf8(input.given.substr(0, at)), error)) {
        return {};
    }
    return "; and \"" + input.given.substr(at + 1) +
           "\" picks no slides: slides count from 1, a range runs upwards (2-5)";
}

ExitStatus ExitFor(JobOutcome outcome) {
    switch (outcome) {
        case JobOutcome::Completed:
            return ExitStatus::kMerged;
        case JobOutcome::StartFailed:
            return ExitStatus::kEngineUnavailable;
        case JobOutcome::InsertFailed:
            return ExitStatus::kInsertFailed;
        case JobOutcome::SaveFailed:
            return ExitStatus::kSaveFailed;
        case JobOutcome::Cancelled:  // no dialog here
        case JobOutcome::Stopped:
            break;
    }
    return ExitStatus::kInterrupted;
}

}  // namespace

std::optional<std::vector<MergeInput>> CheckedInputs(const MergeRequest& request,
                                                     const EngineChoice& engine,
                                                     std::istream& standardInput,
                                                     ConsoleOutput& console) {
    std::vector<MergeInput> inputs;
    bool usable = true;
    try {
        inputs = Inputs(request, standardInput);
    } catch (const std::runtime_error& e) {
        console.Message(e.what());
        usable = false;
    }
    if (usable && inputs.empty()) {
        console.Message("no input given: the list " + request.inputList.value_or("") +
                        " names none");
        usable = false;
    }
    if (const auto problem = OutputProblem(request, engine)) {
        console.Message(*problem);
        usable = false;
    }
    for (const MergeInput& input : inputs) {
        if (const auto problem = InputProblem(input.path)) {
            console.Message((input.given.empty() ? "\"\"" : input.given) + ": " + *problem +
                            NoRangeHint(input));
            usable = false;
        }
    }
    if (!usable) {
        return std::nullopt;
    }
    return inputs;
}

ExitStatus RunMerge(const MergeRequest& request, const std::vector<MergeInput>& inputs,
                    const EngineChoice& engine, ConsoleOutput& console, const StopRequest& stop) {
    if (stop.Requested()) {
        console.Message("interrupted");
        return ExitStatus::kInterrupted;
    }

    const EngineSelection selected = engine.select(request.engine);
    if (!selected.problem.empty()) {
        console.Message(selected.problem);
        return ExitStatus::kEngineUnavailable;
    }
    const fs::path output = fs::absolute(PathFromUtf8(request.output));
    const std::unique_ptr<ConsoleEngine> server = engine.make(stop, selected.program);
    SaveWarning saveWarning;
    if (engine.saveWarning) {
        saveWarning = [&engine, extension = ExtensionOf(output)](std::int64_t slides) {
            return engine.saveWarning(extension, slides);
        };
    }
    ConsoleProgress progress(inputs, request.output, std::string(engine.name), request.quiet,
                             request.verbose, console, stop, std::move(saveWarning));
    MergeJob job(server->Server());
    // Staged whatever the engine: without --force, a file that takes the output's name during
    // the merge is not replaced either.
    // A result without a slide is refused rather than saved empty.
    const JobOutcome outcome = job.Run(
        progress,
        {output.u16string(), SaveFormatNamedBy(output.u16string()),
         request.force ? SaveRequest::Staging::ReplaceExisting : SaveRequest::Staging::KeepExisting,
         true});
    if (outcome == JobOutcome::Completed) {
        // In place: a stop asked for after that point comes too late to undo it.
        console.EndProgress();
        return ExitStatus::kMerged;
    }
    // A stop requested at any moment before the result is in place wins: it leaves nothing.
    if (stop.Requested()) {
        console.Message("interrupted");
        return ExitStatus::kInterrupted;
    }
    // Nothing to save is known as soon as every input is in, like a usage error that needs the
    // engine to show.
    if (progress.Failure() == FailureKind::NoSlides) {
        return ExitStatus::kUsage;
    }
    return ExitFor(outcome);
}

}  // namespace foliomix::cli
