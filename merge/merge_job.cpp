#include "merge/merge_job.h"

#include <exception>
#include <optional>
#include <utility>

namespace foliomix {
namespace {

// Runs one engine call; what it throws, or nothing when it succeeded.
template <typename Call>
std::optional<JobFailure> Failure(Call&& call) {
    try {
        call();
        return std::nullopt;
    } catch (const ServerError& e) {
        return JobFailure{e.Kind(), e.what()};
    } catch (const std::exception& e) {
        return JobFailure{FailureKind::Other, e.what()};
    }
}

// Thrown once the observer asks to stop: the merge ends where it stands, as Stopped.
struct StopRequested {};

void StopIfRequested(const MergeObserver& observer) {
    if (observer.StopRequested()) {
        throw StopRequested{};
    }
}

// An engine call of the merge proper: what it throws, or nothing; and after it, as after every
// engine call, the observer's word on whether to go on.
template <typename Call>
std::optional<JobFailure> Step(const MergeObserver& observer, Call&& call) {
    std::optional<JobFailure> failure = Failure(std::forward<Call>(call));
    StopIfRequested(observer);
    return failure;
}

}  // namespace

MergeJob::MergeJob(PresentationServer& server) : server_(server) {}

bool MergeJob::Start(MergeObserver& observer) {
    const auto failure = Failure([&] {
        serverApp_ = server_.CreateApplication();
        serverApp_->SetDisplayAlerts(false);
    });
    if (!failure) {
        return true;
    }
    const bool started = serverApp_ != nullptr;
    // The observer reports first; the engine, if it started at all, ends after.
    try {
        if (!observer.StopRequested()) {
            observer.Failed(JobOutcome::StartFailed, -1, *failure);
        }
    } catch (...) {
        if (started) {
            ShutDown();
        }
        throw;
    }
    if (started) {
        ShutDown();
    }
    return false;
}

JobOutcome MergeJob::Run(MergeObserver& observer, const SaveRequest& save) {
    if (!Start(observer)) {
        return JobOutcome::StartFailed;
    }
    return MergeAndSave(observer, save);
}

JobOutcome MergeJob::MergeAndSave(MergeObserver& observer, const SaveRequest& save) {
    try {
        return Merge(observer, save);
    } catch (const StopRequested&) {
        // Releases the result before the engine is told to end; nothing is saved.
        result_.reset();
        ShutDown();
        return JobOutcome::Stopped;
    } catch (...) {
        // A failure on the observer's side: the engine this job started does not outlive it.
        result_.reset();
        ShutDown();
        throw;
    }
}

JobOutcome MergeJob::Merge(MergeObserver& observer, const SaveRequest& save) {
    StopIfRequested(observer);
    std::optional<JobFailure> failure =
        Step(observer, [&] { result_ = serverApp_->AddPresentation(); });
    const int fileCount = observer.FileCount();
    int failedFile = -1;
    // After the first failure no further file is tried: nothing will be saved anyway.
    for (int index = 0; !failure && index < fileCount; ++index) {
        observer.BeforeFile(index);
        StopIfRequested(observer);
        failedFile = index;
        std::int32_t slideCount = 0;
        failure = Step(observer, [&] { slideCount = result_->SlideCount(); });
        if (!failure) {
            const std::u16string file = observer.File(index);
            failure = Step(observer, [&] { result_->InsertFromFile(file, slideCount); });
        }
        std::int32_t brought = -1;
        if (!failure && observer.WantsSlideCounts()) {
            failure = Step(observer, [&] { brought = result_->SlideCount() - slideCount; });
        }
        if (!failure) {
            observer.Inserted(index, brought);
        }
    }
    if (failure) {
        return Fail(observer, JobOutcome::InsertFailed, failedFile, *failure);
    }

    failure = Failure([&] {
        if (save.format) {
            result_->SaveAs(save.path, *save.format);
        } else {
            result_->SaveAs(save.path);
        }
    });
    if (failure) {
        return Fail(observer, JobOutcome::SaveFailed, -1, *failure);
    }
    // The result is on disk: a failure to restore alerts or to quit does not undo that, and a
    // stop asked for now only keeps it from being announced.
    result_.reset();
    static_cast<void>(Failure([&] { serverApp_->SetDisplayAlerts(true); }));
    static_cast<void>(Failure([&] { serverApp_->Quit(); }));
    if (!observer.StopRequested()) {
        observer.Completed();
    }
    return JobOutcome::Completed;
}

JobOutcome MergeJob::Fail(MergeObserver& observer, JobOutcome outcome, int file,
                          const JobFailure& failure) {
    result_.reset();
    if (!observer.StopRequested()) {
        observer.Failed(outcome, file, failure);
    }
    ShutDown();
    return outcome;
}

void MergeJob::ShutDown() {
    // Both steps are tried: the second reaches the engine when the held reference cannot.
    if (serverApp_) {
        static_cast<void>(Failure([&] { serverApp_->Quit(); }));
    }
    static_cast<void>(Failure([&] {
        if (!serverGlobal_) {
            serverGlobal_ = server_.CreateGlobal();
        }
        serverGlobal_->Application()->Quit();
    }));
}

}  // namespace foliomix
