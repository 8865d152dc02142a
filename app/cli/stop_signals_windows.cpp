// Ctrl-C, Ctrl-Break and the console's close request a stop (console_control.h). A program that
// was started with Ctrl-C ignored (a new process group, or inherited from its parent) still
// ignores it: the system does not call the handler for it then, as a shell's "&" keeps SIGINT
// from a program on Linux.
#include <windows.h>

#include <atomic>

#include "app/cli/console_control.h"
#include "app/cli/stop_request.h"
#include "app/cli/stop_signals.h"

namespace foliomix::cli {
namespace {

// Constant-initialised: ready before the handler can run.
constinit std::atomic<bool> mergeFinished{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    return HandleConsoleControl(event, ProgramStopRequest(), mergeFinished) ? TRUE : FALSE;
}

}  // namespace

StopSignals::StopSignals() { SetConsoleCtrlHandler(&OnConsoleControl, TRUE); }

StopSignals::~StopSignals() {
    // The merge is over and has ended the engine: a close that is waiting lets the process go.
    mergeFinished.store(true);
    SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
}

}  // namespace foliomix::cli
