// The save dialog: the desktop's own where the platform offers one, else Qt's own, which here
// returns the name its name field holds when the user confirms, never a file the user did not
// name. The desktop's dialog returns what its user chose.
//
// Qt's dialog takes its result from the row selected in its listing whenever there is one, and
// a typed name lets go of that row only while the name field has Qt's keyboard focus. After the
// user declines to replace the proposed file, the keys typed next can reach the name field
// before Qt has made the dialog active again: the field then names the new file while the
// listing still selects the declined one, and Qt asks about that one once more and, on Yes,
// returns it. This dialog lets go of every selected file in the listing before Qt reads the
// result, so that Qt takes the name from the field by its own rules (the dialog's folder, the
// default extension) and asks about that file if it exists. A selected folder stays selected:
// Qt opens it.
#pragma once

#include <QFileDialog>

namespace foliomix::qt {

// No Q_OBJECT: Qt offers the platform's dialog only to a QFileDialog whose meta-object is
// QFileDialog's own.
class SaveFileDialog final : public QFileDialog {
  public:
    explicit SaveFileDialog(QWidget* parent);

    void accept() override;
};

}  // namespace foliomix::qt
