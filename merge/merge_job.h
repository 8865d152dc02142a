// One merge on the engine, as the window's run and the command line both perform it: start the
// engine and turn its alerts off; make a new presentation; for each file of the list, in order,
// count the slides and insert the file's (all, or those picked) after the last; save (staged beside
// the chosen name and renamed onto it, where asked); turn the alerts back on; quit. On any failure
// the engine is shut down, through the application-global object as well when the held reference
// cannot reach it. The job knows nothing of windows or consoles: it asks its observer for the files
// (the window's run reads its list as the merge goes), tells it what happened, and after every
// engine call asks whether to go on (a window may have been closed during the call).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "merge/presentation_server.h"
#include "merge/slide_ranges.h"
#include "merge/staging/staged_result.h"

namespace foliomix {

// How a merge ended, for the window and the command line alike.
enum class JobOutcome : std::uint8_t {
    Cancelled,     // the user cancelled the save dialog: nothing ran, nothing changed
    Completed,     // saved; the engine was told to end
    StartFailed,   // the engine could not be started (or its alerts not turned off)
    InsertFailed,  // making the result or inserting a file failed; nothing saved
    SaveFailed,    // the save failed
    Stopped,       // the observer said stop (the window closed, a signal); nothing saved,
                   // nothing more reported
};

// Why an engine call failed: the kind of failure, and the engine's own words.
struct JobFailure {
    FailureKind kind = FailureKind::Other;
    std::string engineWords;
};

class MergeObserver {
  public:
    virtual ~MergeObserver() = default;
    // Asked after every engine call: true ends the job at once (engine shut down, nothing
    // saved, nothing more reported).
    [[nodiscard]] virtual bool StopRequested() const = 0;
    // The number of files, asked once the result exists; then each file's name, asked just
    // before it is inserted.
    [[nodiscard]] virtual int FileCount() = 0;
    [[nodiscard]] virtual std::u16string File(int index) = 0;
    // The slides to take from file `index`, asked just after its name; empty: all of them.
    [[nodiscard]] virtual SlideRanges PickedSlides(int /*index*/) { return {}; }
    // File `index`, whose slides are picked, holds `slides` slides: told before any is taken,
    // and before a pick past its last slide fails the job.
    virtual void FileCounted(int /*index*/, std::int32_t /*slides*/) {}
    // Before file `index` is counted and inserted.
    virtual void BeforeFile(int /*index*/) {}
    // True to be told how many slides each file brought (one more engine call per file).
    [[nodiscard]] virtual bool WantsSlideCounts() const { return false; }
    // File `index` is in; `slides` is how many it brought, or -1 when not asked for.
    virtual void Inserted(int index, std::int32_t slides) = 0;
    // The job failed; told before the engine is shut down. `file` is the file whose insert
    // failed (-1 for other failures).
    virtual void Failed(JobOutcome outcome, int file, const JobFailure& failure) = 0;
    // Saved, and the engine told to end.
    virtual void Completed() = 0;
};

// Where and how a save writes the result.
struct SaveRequest {
    // How the result reaches `path`.
    enum class Staging : std::uint8_t {
        None,             // the engine writes `path` itself
        ReplaceExisting,  // staged beside `path` and renamed onto it, whatever is there
        KeepExisting,     // staged; the save fails (ResultExists) when `path` exists by then
    };

    std::u16string path;
    // The engine's default for the name, or an explicit format.
    std::optional<SaveFormat> format = std::nullopt;
    Staging staging = Staging::None;
    // A result without a single slide fails (NoSlides) instead of being saved; it costs one
    // more engine call.
    bool refuseEmpty = false;
};

class MergeJob {
  public:
    explicit MergeJob(PresentationServer& server);

    // Makes the staging folder when the save is staged (a failure to make it is reported as
    // SaveFailed before the engine starts), starts the engine, merges and saves. Exceptions from
    // the observer leave after the engine has been shut down.
    JobOutcome Run(MergeObserver& observer, const SaveRequest& save);

  private:
    // Starts the engine. False when it cannot be started: the observer has been told and the
    // engine shut down.
    [[nodiscard]] bool Start(MergeObserver& observer);
    JobOutcome MergeAndSave(MergeObserver& observer, const SaveRequest& save, StagedResult* staged);
    JobOutcome Merge(MergeObserver& observer, const SaveRequest& save, StagedResult* staged);
    // Inserts file `index` after slide `at`, whole or the slides the observer picks.
    [[nodiscard]] std::optional<JobFailure> Insert(MergeObserver& observer, int index,
                                                   std::int32_t at);
    // Ends the engine through both references the job holds; every failure is swallowed.
    void ShutDown();
    JobOutcome Fail(MergeObserver& observer, JobOutcome outcome, int file,
                    const JobFailure& failure);

    PresentationServer& server_;
    std::unique_ptr<ServerApplication> serverApp_;
    std::unique_ptr<ServerGlobal> serverGlobal_;
    std::unique_ptr<ServerPresentation> result_;
};

}  // namespace foliomix
