#include "app/qt/save_file_dialog.h"

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QItemSelectionModel>

namespace foliomix::qt {

SaveFileDialog::SaveFileDialog(QWidget* parent) : QFileDialog(parent) {}

void SaveFileDialog::accept() {
    // The listing and its model exist only in Qt's own dialog. Found by type rather than by
    // the names Qt gives them: should a later Qt build its dialog otherwise and nothing be
    // found here, the dialog behaves as Qt's own, and the tests that drive it fail.
    if (auto* files = findChild<QFileSystemModel*>()) {
        for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
            QItemSelectionModel* selection = view->selectionModel();
            if (view->model() != files || selection == nullptr) {
                continue;
            }
            for (const QModelIndex& row : selection->selectedRows()) {
                if (!files->isDir(row)) {
                    selection->select(row,
                                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
                }
            }
        }
    }
    QFileDialog::accept();
}

}  // namespace foliomix::qt
