#include "app/win32/message_pump.h"

namespace foliomix::win32 {
namespace {

enum class Until : bool { QueueEmpty, Quit };

// Returns the exit code of the quit request that ended it, or 0 when the queue was empty.
int Pump(const std::function<HWND()>& dialog, Until until) {
    MSG msg;
    for (;;) {
        if (until == Until::Quit) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got < 0) {
                return 1;
            }
            if (got == 0) {
                return static_cast<int>(msg.wParam);
            }
        } else if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            return 0;
        } else if (msg.message == WM_QUIT) {
            // The window is gone: leave the quit request for the main message loop, which
            // ends the program once the running handler has returned.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return static_cast<int>(msg.wParam);
        }
        if (HWND form = dialog(); form && IsDialogMessageW(form, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int PumpMessagesUntilQuit(const std::function<HWND()>& dialog) { return Pump(dialog, Until::Quit); }

void PumpPendingMessages(const std::function<HWND()>& dialog) { Pump(dialog, Until::QueueEmpty); }

}  // namespace foliomix::win32
