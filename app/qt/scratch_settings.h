// Keeps Qt's own user settings (the file dialog's history, sidebar and last folder) in a
// temporary folder for the life of the process: the program stores nothing between runs. The
// folder's name carries the process id, so that a later start can tell the folder of a killed
// run from that of a running one.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

namespace foliomix::qt {

class ScratchSettings {
  public:
    // Folders are named "<kFolderPrefix><pid>-XXXXXX" in the temporary folder.
    static constexpr char kFolderPrefix[] = "foliomix-settings-";

    // Create before anything reads or writes settings, that is before the first dialog.
    ScratchSettings() {
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, folder_.path());
        }
    }

    [[nodiscard]] QString Folder() const { return folder_.path(); }

  private:
    static QString FolderTemplate() {
        return QDir(QDir::tempPath())
            .filePath(QLatin1String(kFolderPrefix) +
                      QString::number(QCoreApplication::applicationPid()) +
                      QStringLiteral("-XXXXXX"));
    }

    QTemporaryDir folder_{FolderTemplate()};
};

}  // namespace foliomix::qt
