// The Linux edition: one window, Form1, merging presentations with LibreOffice Impress.
#include <QApplication>

#include "app/qt/leftovers_at_start.h"
#include "app/qt/qt_call_waiter.h"
#include "app/qt/qt_main_window.h"
#include "app/qt/scratch_settings.h"
#include "app/qt/termination_signals.h"
#include "app/qt/toolkit_translation.h"
#include "merge/impress/impress_presentation_server.h"

namespace {

// The program from start to shutdown; returns its exit status.
int Run(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The desktop entry the window belongs to: its name and icon in the desktop's task list.
    QGuiApplication::setDesktopFileName(QStringLiteral(FOLIOMIX_APP_ID));
    // Before anything of ours is on disk: a signal from now on ends the program through the
    // window's close, which leaves nothing behind.
    foliomix::qt::TerminationSignals terminationSignals;
    foliomix::qt::RemoveLeftoversOfKilledRuns();
    const foliomix::qt::ScratchSettings settings;
    const foliomix::qt::ToolkitTranslation translation;
    // Declared before the window so that it outlives it, and the window outlives any run.
    foliomix::impress::ImpressPresentationServer server;
    foliomix::qt::QtMainWindow window(server);
    // Engine calls keep the window alive; a close during one ends the engine at once.
    foliomix::qt::QtCallWaiter waiter(window);
    server.SetCallWaiter(&waiter);
    terminationSignals.CloseOnSignal(window);
    window.show();
    // Closing the window quits the event loop once the click handler in progress has returned.
    const int status = QApplication::exec();
    server.SetCallWaiter(nullptr);
    return status;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int status = Run(argc, argv);
    // Shut down as after a close; a signal that asked for it now ends the process.
    foliomix::qt::TerminationSignals::EndByTheSignalCaught();
    return status;
}
