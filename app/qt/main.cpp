// The Linux edition: one window, Form1, merging presentations with LibreOffice Impress.
#include <QApplication>

#include "app/qt/qt_main_window.h"
#include "app/qt/scratch_settings.h"
#include "app/qt/toolkit_translation.h"
#include "merge/impress/impress_presentation_server.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const foliomix::qt::ScratchSettings settings;
    const foliomix::qt::ToolkitTranslation translation;
    // Declared before the window so that it outlives it, and the window outlives any run.
    foliomix::impress::ImpressPresentationServer server;
    foliomix::qt::QtMainWindow window(server);
    window.show();
    // Closing the window quits the event loop once the click handler in progress has returned.
    return QApplication::exec();
}
