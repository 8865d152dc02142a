// Keeps Qt's own user settings (the file dialog's history, sidebar and last folder) in a
// temporary folder for the life of the process: the program stores nothing between runs.
#pragma once

#include <QSettings>
#include <QTemporaryDir>

namespace foliomix::qt {

class ScratchSettings {
  public:
    // Create before anything reads or writes settings, that is before the first dialog.
    ScratchSettings() {
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, folder_.path());
        }
    }

    [[nodiscard]] QString Folder() const { return folder_.path(); }

  private:
    QTemporaryDir folder_;
};

}  // namespace foliomix::qt
