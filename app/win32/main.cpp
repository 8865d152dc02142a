// The Windows edition's program: creates the engine's apartment and adapter and Form1, and runs
// the window's messages until it is closed and no handler runs any more. While an engine call is
// pending, the window keeps handling its messages through the engine's message filter; once it
// is closed, the program ends within its exit deadline.
#include <windows.h>

#include <exception>

#include "app/win32/exit_deadline.h"
#include "app/win32/main_window_win32.h"
#include "app/win32/message_pump.h"
#include "app/win32/window_call_waiter.h"
#include "merge/com/com_presentation_server.h"

namespace {

int RunMessageLoop(foliomix::win32::Win32MainWindow& window,
                   foliomix::win32::ExitDeadline& deadline) {
    const int exitCode =
        foliomix::win32::PumpMessagesUntilQuit([&window] { return window.Handle(); });
    // The window is gone: releasing the engine's objects and leaving the apartment follow, and
    // neither may keep the program from ending.
    deadline.Arm();
    window.RethrowHandlerFailure();
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    try {
        // Destroyed last: armed, it also bounds the teardown of everything below.
        foliomix::win32::ExitDeadline deadline;
        // The apartment outlives every engine object: the window, which holds the merge run's
        // references, is destroyed first.
        foliomix::com::ComApartment apartment;
        foliomix::com::ComPresentationServer server;
        foliomix::win32::Win32MainWindow window(instance, server);
        foliomix::win32::WindowCallWaiter waiter(window, deadline);
        // Ends before the window does: the calls that release the engine's objects with the
        // window no longer ask it.
        const auto consulted = apartment.Consult(waiter);
        window.Show(showCommand);
        return RunMessageLoop(window, deadline);
    } catch (const std::exception&) {
        // Nothing is shown or logged: the program simply ends with a failure code.
        return 1;
    }
}
