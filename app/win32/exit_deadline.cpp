#include "app/win32/exit_deadline.h"

namespace foliomix::win32 {
namespace {

// TerminateProcess, not ExitProcess: this runs on a pool thread while the main thread may be
// frozen anywhere, holding any lock (the loader's, the C runtime's, COM's). ExitProcess would
// run every DLL's detach code in this thread, which can wait forever on such a lock; a
// terminated process runs nothing more of its own.
void CALLBACK EndProcess(PVOID /*unused*/, BOOLEAN /*timerFired*/) {
    TerminateProcess(GetCurrentProcess(), 0);
}

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
