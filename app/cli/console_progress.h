// The merge as the console shows it: one progress line per input ("[3/12] name.pptx: 14
// slides", or for picked slides "[2/5] b.pptx: slides 2–5 of 12"), then one while the result is
// saved, unless quiet; a failure as one message that names the file as the user gave it and the
// reason in plain words, quiet or not, and when verbose a second line with the engine's own
// words; before the save, quiet or not, a warning when it may need more memory than there is.
// A stop request ends the job.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/console_output.h"
#include "app/cli/stop_request.h"
#include "merge/merge_job.h"

namespace foliomix::cli {

struct MergeInput {
    std::string given;           // as the user named it, UTF-8: what messages show
    std::filesystem::path path;  // absolute: what the engine is given
    SlideRanges picks;           // the slides to take; empty: all
};

// The warning to give before the result's `slides` slides are saved; empty: none.
using SaveWarning = std::function<std::string(std::int64_t slides)>;

class ConsoleProgress final : public MergeObserver {
  public:
    ConsoleProgress(const std::vector<MergeInput>& inputs, std::string output, std::string engine,
                    bool quiet, bool verbose, ConsoleOutput& console, const StopRequest& stop,
                    SaveWarning saveWarning = {});

    [[nodiscard]] bool StopRequested() const override;
    [[nodiscard]] int FileCount() override;
    [[nodiscard]] std::u16string File(int index) override;
    [[nodiscard]] SlideRanges PickedSlides(int index) override;
    void FileCounted(int index, std::int32_t slides) override;
    void BeforeFile(int index) override;
    // Counting costs an engine call per file: only when the counts are shown or weighed.
    [[nodiscard]] bool WantsSlideCounts() const override { return !quiet_ || saveWarning_; }
    void Inserted(int index, std::int32_t slides) override;
    void Failed(JobOutcome outcome, int file, const JobFailure& failure) override;
    void Completed() override {}

    // The kind of the failure reported, if one was.
    [[nodiscard]] std::optional<FailureKind> Failure() const { return failure_; }

  private:
    [[nodiscard]] std::string Counter(int index) const;
    [[nodiscard]] std::string NameOf(int index) const;
    [[nodiscard]] std::string Given(int index) const;
    [[nodiscard]] const SlideRanges& PickedOf(int index) const;
    // What file `index` brought, for its progress line: "14 slides", "slides 2–5 of 12".
    [[nodiscard]] std::string Taken(int index, std::int32_t brought) const;

    const std::vector<MergeInput>& inputs_;
    std::string output_;
    std::string engine_;
    bool quiet_;
    bool verbose_;
    ConsoleOutput& console_;
    const StopRequest& stop_;
    SaveWarning saveWarning_;
    std::int64_t slides_ = 0;  // brought by the inputs so far
    // The slide count of each input whose slides are picked, once the engine has read it.
    std::map<int, std::int32_t> fileSlides_;
    std::optional<FailureKind> failure_;
};

// Why a step failed, in words for the user: the kind of failure, or what failed when the
// engine's words are all there is.
[[nodiscard]] std::string PlainReason(JobOutcome outcome, FailureKind kind);

}  // namespace foliomix::cli
