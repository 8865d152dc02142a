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

// Runs one engine call; any exception it throws is the call's failure.
template <typename Call>
bool Succeeds(Call&& call) {
    try {
        call();
        return true;
    } catch (const std::exception&) {
        return false;
    }
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
    : window_(window), server_(server) {}

RunOutcome MergeRun::Run() {
    if (window_.ShowSave() == DialogOutcome::Cancelled) {
        return RunOutcome::SaveDialogCancelled;
    }
    savePath_ = window_.SaveFileName();
    window_.SetEnabled(ControlId::cmdUp, false);
    window_.SetEnabled(ControlId::cmdDown, false);
    window_.SetEnabled(ControlId::cmdMerge, false);
    window_.SetSimpleText(kPreparingText);

    window_.ProcessPendingEvents();
    if (WindowGone()) {
        return RunOutcome::WindowClosed;
    }
    if (!StartServer()) {
        if (!WindowGone()) {
            window_.Beep();
            window_.ShowMessage(NotInstalledText(server_.DisplayName()), kFailureTitle);
        }
        if (serverApp_) {
            ShutDownServer();
        }
        return RunOutcome::StartFailed;
    }
    try {
        return MergeAndSave();
    } catch (...) {
        // A failure on our side of the run: the engine it started does not outlive it.
        ShutDownServer();
        throw;
    }
}

RunOutcome MergeRun::MergeAndSave() {
    std::unique_ptr<ServerPresentation> result;
    // Releases the result before the engine is told to end; nothing is saved.
    const auto abandon = [&] {
        result.reset();
        ShutDownServer();
        return RunOutcome::WindowClosed;
    };
    if (WindowGone()) {
        return abandon();
    }
    bool merged = Succeeds([&] { result = serverApp_->AddPresentation(); });
    if (WindowGone()) {
        return abandon();
    }
    const std::int16_t fileCount = window_.ListCount();
    // After the first failure no further file is tried: nothing will be saved anyway.
    for (std::int16_t i = 0; merged && i < fileCount; ++i) {
        window_.ProcessPendingEvents();
        if (WindowGone()) {
            return abandon();
        }
        std::int32_t slideCount = 0;
        merged = Succeeds([&] { slideCount = result->SlideCount(); });
        if (WindowGone()) {
            return abandon();
        }
        if (merged) {
            const std::u16string file = window_.List(i);
            merged = Succeeds([&] { result->InsertFromFile(file, slideCount); });
            if (WindowGone()) {
                return abandon();
            }
        }
        if (merged) {
            window_.SetSimpleText(ProgressText(i + 1));
        }
    }
    if (!merged) {
        result.reset();
        Fail(kUnknownErrorText);
        return RunOutcome::MergeFailed;
    }

    if (!Succeeds([&] { result->SaveAs(savePath_); })) {
        result.reset();
        Fail(kSaveFailedText);
        return RunOutcome::SaveFailed;
    }
    // The result is on disk: a failure to restore alerts or to quit does not undo that.
    result.reset();
    Succeeds([&] { serverApp_->SetDisplayAlerts(true); });
    Succeeds([&] { serverApp_->Quit(); });
    if (!WindowGone()) {
        window_.SetSimpleText(kCompletedText);
        window_.ShowMessage(kCompletedText, kCompletedTitle);
    }
    return RunOutcome::Completed;
}

bool MergeRun::StartServer() {
    return Succeeds([&] {
        serverApp_ = server_.CreateApplication();
        serverApp_->SetDisplayAlerts(false);
    });
}

bool MergeRun::WindowGone() const { return !window_.IsOpen(); }

void MergeRun::Fail(std::u16string_view text) {
    if (!WindowGone()) {
        window_.Beep();
        window_.ShowMessage(text, kFailureTitle);
    }
    ShutDownServer();
}

void MergeRun::ShutDownServer() {
    // Both steps are tried: the second reaches the engine when the held reference cannot.
    if (serverApp_) {
        Succeeds([&] { serverApp_->Quit(); });
    }
    Succeeds([&] {
        if (!serverGlobal_) {
            serverGlobal_ = server_.CreateGlobal();
        }
        serverGlobal_->Application()->Quit();
    });
}

}  // namespace foliomix
