// The merge as the console shows it: one progress line per input ("[3/12] name.pptx: 14
// slides"), then one while the result is saved, unless quiet; a failure as one message that
// names the file and gives the engine's own reason, quiet or not. A stop request ends the job.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/cli/console_output.h"
#include "app/cli/stop_request.h"
#include "merge/merge_job.h"

namespace foliomix::cli {

struct MergeInput {
    std::string given;           // as the user named it, UTF-8: what messages show
    std::filesystem::path path;  // absolute: what the engine is given
};

class ConsoleProgress final : public MergeObserver {
  public:
    ConsoleProgress(const std::vector<MergeInput>& inputs, std::string output, std::string engine,
                    bool quiet, ConsoleOutput& console, const StopRequest& stop);

    [[nodiscard]] bool StopRequested() const override;
    [[nodiscard]] int FileCount() override;
    [[nodiscard]] std::u16string File(int index) override;
    void BeforeFile(int index) override;
    // Counting costs an engine call per file: only when the counts are shown.
    [[nodiscard]] bool WantsSlideCounts() const override { return !quiet_; }
    void Inserted(int index, std::int32_t slides) override;
    void Failed(JobOutcome outcome, int file, const std::string& reason) override;
    void Completed() override {}

  private:
    [[nodiscard]] std::string Counter(int index) const;
    [[nodiscard]] std::string NameOf(int index) const;

    const std::vector<MergeInput>& inputs_;
    std::string output_;
    std::string engine_;
    bool quiet_;
    ConsoleOutput& console_;
    const StopRequest& stop_;
};

}  // namespace foliomix::cli
