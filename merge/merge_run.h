// The merge run behind cmdMerge: asks for the result file, has the engine build one new
// presentation from every file of the list in list order, saves it, shuts the engine down and
// announces the outcome. It runs on the UI thread and lets the window process its pending
// events once before the engine starts and once at the start of every file. An engine call
// may let the window handle messages too (a COM call that waits for a busy engine does), so
// after every engine call the run makes sure the window is still open before it touches the
// window again; once it is gone the run ends the engine, saves nothing and shows nothing.
#pragma once

#include <memory>
#include <string>

#include "app/main_window.h"
#include "merge/merge_job.h"
#include "merge/presentation_server.h"

namespace foliomix {

enum class RunOutcome : std::uint8_t {
    SaveDialogCancelled,  // nothing changed; the user may click cmdMerge again
    Completed,            // saved, and announced while the window is open
    StartFailed,          // the engine could not be started
    MergeFailed,          // creating the result or inserting a file failed; nothing saved
    SaveFailed,           // SaveAs failed
    WindowClosed,         // the user closed the window during the run; nothing saved or shown
};

// The window's side of a merge job: its texts, its message boxes, its event points.
class MergeRun : private MergeObserver {
  public:
    // The window owns this object: it holds the state that outlives one run.
    MergeRun(MainWindow& window, PresentationServer& server);

    // Engine failures end as the outcomes above. An exception from the window ends the run
    // too, after the engine has been shut down.
    RunOutcome Run();

    // The path confirmed in sfd at the start of the latest run.
    [[nodiscard]] const std::u16string& SavePath() const { return savePath_; }
    [[nodiscard]] bool HoldsServerApp() const { return job_.HoldsServerApp(); }
    [[nodiscard]] bool HoldsServerGlobal() const { return job_.HoldsServerGlobal(); }

  private:
    [[nodiscard]] bool WindowGone() const;

    // What the job asks and tells.
    [[nodiscard]] bool StopRequested() const override { return WindowGone(); }
    [[nodiscard]] int FileCount() override;
    [[nodiscard]] std::u16string File(int index) override;
    void BeforeFile(int index) override;
    void Inserted(int index, std::int32_t slides) override;
    void Failed(JobOutcome outcome, int file, const JobFailure& failure) override;
    void Completed() override;

    MainWindow& window_;
    PresentationServer& server_;
    std::u16string savePath_;
    MergeJob job_;
};

// "正在合并演示文稿…" + the number of files inserted so far + "个已完成！".
[[nodiscard]] std::u16string ProgressText(int filesDone);

}  // namespace foliomix
