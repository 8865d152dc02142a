#include "merge/merge_job.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
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
    if (observer.StopRequested()) {
        return JobOutcome::Stopped;
    }
    // Made before the engine starts: a folder that cannot be written to fails at once.
    std::optional<StagedResult> staged;
    if (save.staging != SaveRequest::Staging::None) {
        if (const auto failure =
                Failure([&] { staged.emplace(std::filesystem::path(save.path)); })) {
            observer.Failed(JobOutcome::SaveFailed, -1, *failure);
            return JobOutcome::SaveFailed;
        }
    }
    if (!Start(observer)) {
        return JobOutcome::StartFailed;
    }
    return MergeAndSave(observer, save, staged ? &*staged : nullptr);
}

JobOutcome MergeJob::MergeAndSave(MergeObserver& observer, const SaveRequest& save,
                                  StagedResult* staged) {
    try {
        return Merge(observer, save, staged);
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

JobOutcome MergeJob::Merge(MergeObserver& observer, const SaveRequest& save, StagedResult* staged) {
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
            failure = Insert(observer, index, slideCount);
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

    if (save.refuseEmpty) {
        std::int32_t slides = 0;
        failure = Step(observer, [&] { slides = result_->SlideCount(); });
        if (!failure && slides == 0) {
            failure = JobFailure{FailureKind::NoSlides, "the result holds no slide"};
        }
        if (failure) {
            return Fail(observer, JobOutcome::SaveFailed, -1, *failure);
        }
    }
    const std::u16string enginePath = staged ? staged->EnginePath().u16string() : save.path;
    failure = Failure([&] {
        if (save.format) {
            result_->SaveAs(enginePath, *save.format);
        } else {
            result_->SaveAs(enginePath);
        }
    });
    if (failure) {
        return Fail(observer, JobOutcome::SaveFailed, -1, *failure);
    }
    // The result is written: a failure to restore alerts or to quit does not undo that.
    result_.reset();
    static_cast<void>(Failure([&] { serverApp_->SetDisplayAlerts(true); }));
    static_cast<void>(Failure([&] { serverApp_->Quit(); }));
    if (staged) {
        // The engine has been told to end; the chosen name changes only now, and not when a
        // stop was asked for by now.
        if (observer.StopRequested()) {
            return JobOutcome::Stopped;
        }
        failure = Failure([&] {
            staged->Commit(save.staging == SaveRequest::Staging::KeepExisting
                               ? ExistingFile::Keep
                               : ExistingFile::Replace);
        });
        if (failure) {
            observer.Failed(JobOutcome::SaveFailed, -1, *failure);
            return JobOutcome::SaveFailed;
        }
    }
    // A stop asked for now only keeps the result from being announced.
    if (!observer.StopRequested()) {
        observer.Completed();
    }
    return JobOutcome::Completed;
}

std::optional<JobFailure> MergeJob::Insert(MergeObserver& observer, int index, std::int32_t at) {
    const std::u16string file = observer.File(index);
    const SlideRanges picked = observer.PickedSlides(index);
    if (picked.empty()) {
        return Step(observer, [&] { result_->InsertFromFile(file, at); });
    }
    std::int32_t fileSlides = 0;
    if (auto failure = Step(observer, [&] { fileSlides = result_->SlideCountOfFile(file); })) {
        return failure;
    }
    observer.FileCounted(index, fileSlides);
    const auto runs = SlideRunsOf(picked, fileSlides);
    if (!runs) {
        return JobFailure{FailureKind::SlideOutOfRange,
                          "the file holds " + std::to_string(fileSlides) + " slides"};
    }
    // One insert per run of consecutive slides, each after the one before.
    for (const SlideRun& run : *runs) {
        if (auto failure = Step(observer, [&] { result_->InsertFromFile(file, at, run); })) {
            return failure;
        }
        at += run.Count();
    }
    return std::nullopt;
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
