#include "app/win32/exit_deadline.h"

namespace foliomix::win32 {
namespace {

void CALLBACK EndProcess(PVOID /*unused*/, BOOLEAN /*timerFired*/) { ExitProcess(0); }

}  // namespace

ExitDeadline::ExitDeadline(DWORD afterMs) : afterMs_(afterMs) {}

ExitDeadline::~ExitDeadline() {
    if (timer_ != nullptr) {
        DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
    }
}

void ExitDeadline::Arm() {
    if (timer_ == nullptr && !CreateTimerQueueTimer(&timer_, nullptr, &EndProcess, nullptr,
                                                    afterMs_, 0, WT_EXECUTEONLYONCE)) {
        timer_ = nullptr;  // the system is out of resources: the program ends as it can
    }
}

}  // namespace foliomix::win32
