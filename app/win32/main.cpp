// The Windows edition's program: creates the engine's apartment and adapter and Form1, and runs
// the window's messages until it is closed and no handler runs any more.
#include <windows.h>

#include <exception>

#include "app/win32/main_window_win32.h"
#include "merge/com/com_presentation_server.h"

namespace {

int RunMessageLoop(foliomix::win32::Win32MainWindow& window) {
    MSG msg;
    BOOL got = 0;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        // Tab, Shift+Tab, Enter and Esc as in a dialog.
        if (window.Handle() && IsDialogMessageW(window.Handle(), &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    window.RethrowHandlerFailure();
    return got < 0 ? 1 : static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    try {
        // The apartment outlives every engine object: the window, which holds the merge run's
        // references, is destroyed first.
        const foliomix::com::ComApartment apartment;
        foliomix::com::ComPresentationServer server;
        foliomix::win32::Win32MainWindow window(instance, server);
        window.Show(showCommand);
        return RunMessageLoop(window);
    } catch (const std::exception&) {
        // Nothing is shown or logged: the program simply ends with a failure code.
        return 1;
    }
}
