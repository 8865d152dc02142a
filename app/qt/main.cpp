// The Linux edition: one window, Form1, merging presentations with LibreOffice Impress.
#include <QApplication>

#include "app/qt/leftovers_at_start.h"
#include "app/qt/qt_call_waiter.h"
#include "app/qt/qt_main_window.h"
#include "app/qt/scratch_settings.h"
#include "app/qt/toolkit_translation.h"
#include "merge/impress/impress_presentation_server.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    foliomix::qt::RemoveLeftoversOfKilledRuns();
    const foliomix::qt::ScratchSettings settings;
    const foliomix::qt::ToolkitTranslation translation;
    // Declared before the window so that it outlives it, and the window outlives any run.
    foliomix::impress::ImpressPresentationServer server;
    foliomix::qt::QtMainWindow window(server);
    // Engine calls keep the window alive; a close during one ends the engine at once.
    foliomix::qt::QtCallWaiter waiter(window);
    server.SetCallWaiter(&waiter);
    window.show();
    // Closing the window quits the event loop once the click handler in progress has returned.
    const int status = QApplication::exec();
    server.SetCallWaiter(nullptr);
    return status;
}
