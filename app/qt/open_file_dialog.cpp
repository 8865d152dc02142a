#include "app/qt/open_file_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>

namespace foliomix::qt {

OpenFileDialog::OpenFileDialog(QWidget* parent) : QFileDialog(parent) {}

void OpenFileDialog::showEvent(QShowEvent* event) {
    // The name field, the listing and its model exist only in Qt's own dialog, which Qt may
    // also build at the last moment, when the desktop's dialog does not show. Qt enables Open
    // only for names its listing holds: files the name filter rejects stay in the listing,
    // greyed, rather than out of it, so that a typed one enables Open too.
    if (auto* files = findChild<QFileSystemModel*>()) {
        files->setNameFilterDisables(true);
    }
    QFileDialog::showEvent(event);
}

QStringList OpenFileDialog::NamesInField() const {
    const auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (field == nullptr) {
        return {};
    }
    const QString text = field->text();
    if (!text.contains(u'"')) {
        return text.isEmpty() ? QStringList() : QStringList(text);
    }
    // "a" "b" "c": every second piece between quotes is a name, the rest separates them.
    const QStringList pieces = text.split(u'"');
    QStringList names;
    for (qsizetype i = 1; i < pieces.size(); i += 2) {
        if (!pieces[i].isEmpty()) {
            names.append(pieces[i]);
        }
    }
    return names;
}

QString OpenFileDialog::FullPath(const QString& name) const {
    const QDir folder = directory();
    if (!folder.exists(name) && (name == u"~" || name.startsWith(QStringLiteral("~/")))) {
        return QDir::cleanPath(QDir::homePath() + name.mid(1));
    }
    return QDir::cleanPath(folder.absoluteFilePath(name));
}

void OpenFileDialog::accept() {
    const QStringList names = NamesInField();
    const FileMode mode = fileMode();
    if (names.isEmpty() ||
        (mode != QFileDialog::ExistingFiles && mode != QFileDialog::ExistingFile)) {
        QFileDialog::accept();
        return;
    }
    QStringList files;
    for (const QString& name : names) {
        const QFileInfo file(FullPath(name));
        if (file.isDir()) {
            // Qt's own way with a folder: it opens it in the listing (".." goes up).
            QFileDialog::accept();
            return;
        }
        if (!file.exists()) {
            // Qt's own warning, in Qt's own words and language.
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1\nFile not found.\nPlease verify the "
                                                 "correct file name was given.")
                                     .arg(file.fileName()));
            return;
        }
        files.append(file.filePath());
    }
    emit filesSelected(files);
    if (files.size() == 1) {
        emit fileSelected(files.front());
    }
    // Past QFileDialog::accept on purpose: it would refuse the names of other types we took.
    QDialog::accept();  // NOLINT(bugprone-parent-virtual-call)
}

}  // namespace foliomix::qt
