#include "app/cli/console_progress.h"

#include <algorithm>
#include <utility>

#include "app/cli/input_files.h"
#include "merge/slide_ranges.h"

namespace foliomix::cli {

ConsoleProgress::ConsoleProgress(const std::vector<MergeInput>& inputs, std::string output,
                                 std::string engine, bool quiet, bool verbose,
                                 ConsoleOutput& console, const StopRequest& stop,
                                 SaveWarning saveWarning)
    : inputs_(inputs),
      output_(std::move(output)),
      engine_(std::move(engine)),
      quiet_(quiet),
      verbose_(verbose),
      console_(console),
      stop_(stop),
      saveWarning_(std::move(saveWarning)) {}

bool ConsoleProgress::StopRequested() const { return stop_.Requested(); }

int ConsoleProgress::FileCount() { return static_cast<int>(inputs_.size()); }

std::u16string ConsoleProgress::File(int index) {
    return inputs_.at(static_cast<std::size_t>(index)).path.u16string();
}

// Built by appending: prepending a literal to a temporary string makes GCC 12 warn of a
// restrict violation that is not there (a false positive at -O3, an error for us).
std::string ConsoleProgress::Counter(int index) const {
    std::string counter = "[";
    counter += std::to_string(index + 1);
    counter += '/';
    counter += std::to_string(inputs_.size());
    counter += "] ";
    return counter;
}

namespace {

std::string SlidesText(std::int64_t slides) {
    return std::to_string(slides) + (slides == 1 ? " slide" : " slides");
}

}  // namespace

std::string ConsoleProgress::Taken(int index, std::int32_t brought) const {
    const auto counted = fileSlides_.find(index);
    if (counted != fileSlides_.end()) {
        if (const auto runs = SlideRunsOf(PickedOf(index), counted->second)) {
            return DescribeSlides(*runs) + " of " + std::to_string(counted->second);
        }
    }
    return SlidesText(brought);
}

const SlideRanges& ConsoleProgress::PickedOf(int index) const {
    return inputs_.at(static_cast<std::size_t>(index)).picks;
}

std::string ConsoleProgress::NameOf(int index) const {
    return PathToUtf8(inputs_.at(static_cast<std::size_t>(index)).path.filename());
}

SlideRanges ConsoleProgress::PickedSlides(int index) { return PickedOf(index); }

void ConsoleProgress::FileCounted(int index, std::int32_t slides) { fileSlides_[index] = slides; }

void ConsoleProgress::BeforeFile(int index) {
    // On a terminal only: a log gets one line per file, once it is in.
    if (!quiet_) {
        console_.Transient(Counter(index) + NameOf(index) + " ...");
    }
}

void ConsoleProgress::Inserted(int index, std::int32_t slides) {
    slides_ += std::max<std::int32_t>(slides, 0);
    if (!quiet_) {
        console_.Progress(Counter(index) + NameOf(index) + ": " + Taken(index, slides));
    }
    if (static_cast<std::size_t>(index) + 1 != inputs_.size()) {
        return;
    }
    if (saveWarning_) {
        if (const std::string warning = saveWarning_(slides_); !warning.empty()) {
            console_.Message(warning);
        }
    }
    if (!quiet_) {
        std::string saving = "saving ";
        saving += PathToUtf8(PathFromUtf8(output_).filename());
        console_.Progress(saving);
    }
}

void ConsoleProgress::Failed(JobOutcome outcome, int file, const JobFailure& failure) {
    failure_ = failure.kind;
    std::string reason = PlainReason(outcome, failure.kind);
    if (failure.kind == FailureKind::SlideOutOfRange && fileSlides_.contains(file)) {
        reason = "it has " + SlidesText(fileSlides_.at(file));
    }
    switch (outcome) {
        case JobOutcome::StartFailed:
            console_.Message("cannot start " + engine_ + ": " + reason);
            break;
        case JobOutcome::InsertFailed:
            if (file < 0) {
                console_.Message("cannot make the new presentation: " + reason);
            } else if (failure.kind == FailureKind::EngineStopped) {
                console_.Message("the engine stopped while opening " + Given(file));
            } else {
                console_.Message("cannot insert " + Given(file) + ": " + reason);
            }
            break;
        case JobOutcome::SaveFailed:
            console_.Message("cannot save " + output_ + ": " + reason);
            break;
        case JobOutcome::Cancelled:
        case JobOutcome::Completed:
        case JobOutcome::Stopped:
            return;
    }
    if (verbose_ && !failure.engineWords.empty()) {
        console_.Message(engine_ + " said: " + failure.engineWords);
    }
}

std::string ConsoleProgress::Given(int index) const {
    return inputs_.at(static_cast<std::size_t>(index)).given;
}

std::string PlainReason(JobOutcome outcome, FailureKind kind) {
    switch (kind) {
        case FailureKind::NotAPresentation:
            return "not a presentation";
        case FailureKind::PasswordProtected:
            return "password-protected";
        case FailureKind::EngineStopped:
            return "the engine stopped";
        case FailureKind::DiskFull:
            return "disk full";
        case FailureKind::PermissionDenied:
            return "permission denied";
        case FailureKind::NoVisibleSlide:
            return "every slide is hidden, and a PDF shows only the visible ones";
        case FailureKind::NoSuchFolder:
            return "no such folder";
        case FailureKind::ResultExists:
            return "it exists by now, and --force was not given";
        case FailureKind::SlideOutOfRange:
            return "it has fewer slides than those picked";
        case FailureKind::NoSlides:
            return "the inputs brought no slide";
        case FailureKind::Other:
            break;
    }
    switch (outcome) {
        case JobOutcome::StartFailed:
            return "it is not installed or does not start";
        case JobOutcome::SaveFailed:
            return "the engine could not write it";
        case JobOutcome::InsertFailed:
        case JobOutcome::Cancelled:
        case JobOutcome::Completed:
        case JobOutcome::Stopped:
            break;
    }
    return "the engine could not open or insert it";
}

}  // namespace foliomix::cli
