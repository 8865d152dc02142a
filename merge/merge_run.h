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

// The window's side of a merge job: its texts, its message boxes, its event points.
class MergeRun : private MergeObserver {
  public:
    // The window owns this object: it holds the state that outlives one run.
    MergeRun(MainWindow& window, PresentationServer& server);

    // Cancelled when the save dialog is; Stopped when the window closed during the run; engine
    // failures as the job reports them. An exception from the window ends the run too, after
    // the engine has been shut down.
    JobOutcome Run();

    // The path confirmed in sfd at the start of the latest run.
    [[nodiscard]] const std::u16string& SavePath() const { return savePath_; }

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
