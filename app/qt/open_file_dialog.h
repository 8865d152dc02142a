// The open dialog: the desktop's own where the platform offers one, else Qt's own, which here
// hands on exactly the files its name field names. The desktop's dialog has its own ways with
// typed names; the files it returns are handed on as they are.
//
// Qt's dialog takes its result from the rows selected in its listing whenever there are any, and
// the listing holds only files its name filter lets through: a typed name of another extension
// never becomes a selected row, so beside one that does it is left out without a word, and alone
// it disables the Open button. This dialog reads the names from the name field instead (Qt writes
// the rows the user picks there too), in their order, whatever their extension, and refuses a
// name that does not exist with Qt's own warning. Files of other types show greyed in its
// listing: they can be typed, not picked.
#pragma once

#include <QFileDialog>
#include <QStringList>

namespace foliomix::qt {

// No Q_OBJECT: Qt offers the platform's dialog only to a QFileDialog whose meta-object is
// QFileDialog's own.
class OpenFileDialog final : public QFileDialog {
  public:
    explicit OpenFileDialog(QWidget* parent);

    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The names in the name field as Qt separates them: "a" "b" "c", or the whole text as one.
    [[nodiscard]] QStringList NamesInField() const;
    // A typed name as the full path of a file in the dialog's folder, or of the name itself.
    [[nodiscard]] QString FullPath(const QString& name) const;
};

}  // namespace foliomix::qt
