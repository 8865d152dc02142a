#include "app/cli/console_control.h"

namespace foliomix::cli {
namespace {

// How often a close looks whether the merge has finished: the merge cannot wake the system's
// handler thread, and a close is rare enough for a look this often.
constexpr DWORD kFinishedLookMs = 20;

}  // namespace

bool HandleConsoleControl(DWORD event, StopRequest& stop, const std::atomic<bool>& finished,
                          DWORD closeWaitMs) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            stop.Request();
            return true;
        case CTRL_CLOSE_EVENT: {
            stop.Request();
            const ULONGLONG end = GetTickCount64() + closeWaitMs;
            while (!finished.load() && GetTickCount64() < end) {
                Sleep(kFinishedLookMs);
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace foliomix::cli
