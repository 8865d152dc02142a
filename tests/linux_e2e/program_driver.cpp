// Acts as the user inside the real program: the end-to-end tests load this library into
// foliomix (LD_PRELOAD), and it drives the window through its widgets as the tests of the
// window do, while the test outside watches the process and sends it signals.
//
// FOLIOMIX_DRIVER_SCENE says how far it goes:
//   "open dialog": clicks 添加 and leaves the open dialog up;
//   "merge":       adds the files typed as FOLIOMIX_DRIVER_TYPED says, clicks 开始合并 and
//                  confirms the save dialog as proposed.
// It appends a line to the file FOLIOMIX_DRIVER_REPORT at each stage: "open dialog" once that
// dialog is up, "merging" once the save dialog is confirmed.
#include <stdlib.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTimer>

#include "tests/qt/widget_driver.h"

namespace foliomix::testing {
namespace {

class ProgramDriver : public QObject {
  public:
    ProgramDriver()
        : QObject(qApp),
          scene_(qEnvironmentVariable("FOLIOMIX_DRIVER_SCENE")),
          typed_(qEnvironmentVariable("FOLIOMIX_DRIVER_TYPED")),
          report_(qEnvironmentVariable("FOLIOMIX_DRIVER_REPORT")) {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start();
    }

  private:
    enum class Stage { kWindow, kOpenDialog, kAdded, kSaveDialog, kDone };

    void Report(const char* line) const {
        QFile file(report_);
        if (file.open(QIODevice::Append)) {
            file.write(QByteArray(line) + '\n');
        }
    }

    // Acts from a timer of its own: an act that opens a modal dialog waits in it, and the
    // polling goes on meanwhile.
    void Act(std::function<void()> act) { QTimer::singleShot(0, this, std::move(act)); }

    [[nodiscard]] static QWidget* Window() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == u"Form1" && widget->isVisible()) {
                return widget;
            }
        }
        return nullptr;
    }

    [[nodiscard]] static QFileDialog* ModalFileDialog() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
    }

    void Poll() {
        switch (stage_) {
            case Stage::kWindow:
                if (QWidget* window = Window()) {
                    stage_ = Stage::kOpenDialog;
                    Act([window] { Click(Button(*window, design::ControlId::cmdAdd)); });
                }
                break;
            case Stage::kOpenDialog:
                if (QFileDialog* dialog = ModalFileDialog()) {
                    Report("open dialog");
                    if (scene_ != u"merge") {
                        stage_ = Stage::kDone;
                        break;
                    }
                    stage_ = Stage::kAdded;
                    Act([this, dialog] {
                        TypeName(*dialog, typed_);
                        Confirm(*dialog);
                    });
                }
                break;
            case Stage::kAdded:
                if (QWidget* window = Window();
                    window != nullptr && ModalFileDialog() == nullptr &&
                    Button(*window, design::ControlId::cmdMerge).isEnabled()) {
                    stage_ = Stage::kSaveDialog;
                    Act([window] { Click(Button(*window, design::ControlId::cmdMerge)); });
                }
                break;
            case Stage::kSaveDialog:
                if (QFileDialog* dialog = ModalFileDialog();
                    dialog != nullptr && dialog->acceptMode() == QFileDialog::AcceptSave) {
                    stage_ = Stage::kDone;
                    Act([this, dialog] {
                        Confirm(*dialog);
                        Report("merging");
                    });
                }
                break;
            case Stage::kDone:
                timer_.stop();
                break;
        }
    }

    const QString scene_;
    const QString typed_;
    const QString report_;
    QTimer timer_;
    Stage stage_ = Stage::kWindow;
};

void StartDriving() {
    // Whatever the program starts (the engine) runs without us.
    ::unsetenv("LD_PRELOAD");
    if (!qEnvironmentVariableIsEmpty("FOLIOMIX_DRIVER_SCENE")) {
        new ProgramDriver;  // owned by the application
    }
}

// Run when the program makes its QApplication.
Q_COREAPP_STARTUP_FUNCTION(StartDriving)

}  // namespace
}  // namespace foliomix::testing
