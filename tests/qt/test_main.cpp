// The window tests need a QApplication; they run on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/suite_set_up.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    foliomix::testing::FailCasesOfAFailedSuiteSetUp();
    // The tests drive Qt's own file dialog through its widgets; the window takes the desktop's
    // own where the platform offers one, and that one has no widgets of Qt's.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
