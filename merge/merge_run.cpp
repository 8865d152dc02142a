#include "merge/merge_run.h"

#include <string>

using foliomix::design::ControlId;

namespace foliomix {
namespace {

constexpr std::u16string_view kPreparingText = u"正在准备合并演示文稿…";
constexpr std::u16string_view kProgressPrefix = u"正在合并演示文稿…";
constexpr std::u16string_view kProgressSuffix = u"个已完成！";
constexpr std::u16string_view kCompletedText = u"演示文稿合并完成！";
constexpr std::u16string_view kCompletedTitle = u"恭喜";
constexpr std::u16string_view kFailureTitle = u"合并演示文稿";
constexpr std::u16string_view kNotInstalledPrefix = u"出错，系统没有安装 ";
constexpr std::u16string_view kUnknownErrorText = u"出现未知错误！退出？";
constexpr std::u16string_view kSaveFailedText = u"合并结果保存失败！";

std::u16string NotInstalledText(std::u16string_view engineName) {
    std::u16string text(kNotInstalledPrefix);
    text += engineName;
    return text;
}

}  // namespace

std::u16string ProgressText(int filesDone) {
    std::u16string text(kProgressPrefix);
    for (const char digit : std::to_string(filesDone)) {
        text += static_cast<char16_t>(digit);
    }
    text += kProgressSuffix;
    return text;
}

MergeRun::MergeRun(MainWindow& window, PresentationServer& server)
    : window_(window), server_(server), job_(server) {}

JobOutcome MergeRun::Run() {
    if (window_.ShowSave() == DialogOutcome::Cancelled) {
        return JobOutcome::Cancelled;
    }
    savePath_ = window_.SaveFileName();
    window_.SetEnabled(ControlId::cmdUp, false);
    window_.SetEnabled(ControlId::cmdDown, false);
    window_.SetEnabled(ControlId::cmdMerge, false);
    window_.SetSimpleText(kPreparingText);

    // A window closed meanwhile stops the job before it starts anything.
    window_.ProcessPendingEvents();
    // The chosen name replaces a file of that name; an engine that cannot replace it safely by
    // itself writes beside it first.
    const auto staging = server_.SavesSafelyInPlace() ? SaveRequest::Staging::None
                                                      : SaveRequest::Staging::ReplaceExisting;
    return job_.Run(*this, {savePath_, std::nullopt, staging});
}

bool MergeRun::WindowGone() const { return !window_.IsOpen(); }

int MergeRun::FileCount() { return window_.ListCount(); }

std::u16string MergeRun::File(int index) { return window_.List(static_cast<std::int16_t>(index)); }

void MergeRun::BeforeFile(int /*index*/) { window_.ProcessPendingEvents(); }

void MergeRun::Inserted(int index, std::int32_t /*slides*/) {
    window_.SetSimpleText(ProgressText(index + 1));
}

// The window names no file and shows no engine message: its texts are fixed.
void MergeRun::Failed(JobOutcome outcome, int /*file*/, const JobFailure& /*failure*/) {
    window_.Beep();
    switch (outcome) {
        case JobOutcome::StartFailed:
            window_.ShowMessage(NotInstalledText(server_.DisplayName()), kFailureTitle);
            break;
        case JobOutcome::SaveFailed:
            window_.ShowMessage(kSaveFailedText, kFailureTitle);
            break;
        case JobOutcome::InsertFailed:
        case JobOutcome::Cancelled:
        case JobOutcome::Completed:
        case JobOutcome::Stopped:
            window_.ShowMessage(kUnknownErrorText, kFailureTitle);
            break;
    }
}

void MergeRun::Completed() {
    window_.SetSimpleText(kCompletedText);
    window_.ShowMessage(kCompletedText, kCompletedTitle);
}

}  // namespace foliomix
