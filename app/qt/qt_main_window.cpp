#include "app/qt/qt_main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <stdexcept>
#include <vector>

#include "app/form_geometry.h"
#include "app/qt/file_dialog_settings.h"
#include "app/qt/open_file_dialog.h"
#include "app/qt/qt_text.h"
#include "app/qt/save_file_dialog.h"

namespace foliomix::qt {
namespace {

using design::ControlId;
using design::ControlKind;

// The control's rectangle within its parent widget, by the rule both editions share.
QRect ScaledRect(const design::ControlDesign& control, int dotsPerInch) {
    const design::PixelRect rect = design::ControlPixelsInContainer(control, dotsPerInch);
    return {rect.left, rect.top, rect.width, rect.height};
}

// The settings both file dialogs share. The dialog is the desktop's own where Qt's platform
// theme offers one (GTK, KDE, the portal), Qt's own otherwise or where the application says
// Qt::AA_DontUseNativeDialogs; either asks before replacing a file and returns full paths.
void PrepareFileDialog(QFileDialog& dialog, const design::FileDialogDesign& design) {
    dialog.setNameFilters(NameFilters(design.filter));
    dialog.setDefaultSuffix(ToQString(design.defaultExt));
}

// Shows the dialog modally and returns the files chosen as they stood when the user confirmed,
// empty on cancel. Read later, selectedFiles() can differ: the dialog goes on matching the
// typed names against its folder listing, which it loads in the background.
QStringList ExecFileDialog(QFileDialog& dialog) {
    QStringList chosen;
    QObject::connect(&dialog, &QFileDialog::filesSelected,
                     [&chosen](const QStringList& files) { chosen = files; });
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return chosen;
}

}  // namespace

QtMainWindow::QtMainWindow(PresentationServer& server)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      openFlags_(design::kOfd.flags),
      saveFileName_(design::kSfd.fileName),
      mergeList_(*this, u'/'),
      mergeRun_(*this, server) {
    BuildFromDesign();
    connect(&cmdAdd_, &QPushButton::clicked, this,
            [this] { Handle([this] { mergeList_.Add(); }); });
    connect(&cmdUp_, &QPushButton::clicked, this,
            [this] { Handle([this] { mergeList_.MoveUp(); }); });
    connect(&cmdDown_, &QPushButton::clicked, this,
            [this] { Handle([this] { mergeList_.MoveDown(); }); });
    connect(&cmdMerge_, &QPushButton::clicked, this,
            [this] { Handle([this] { emit MergeRunEnded(mergeRun_.Run()); }); });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* /*old*/, QWidget* now) { FollowFocus(now); });
}

template <typename Handler>
void QtMainWindow::Handle(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        // Only running out of memory gets here; a run has ended its engine before it lets an
        // exception go. The window stays as the handler left it, with a beep for the failure.
        QApplication::beep();
    }
}

void QtMainWindow::FollowFocus(QWidget* focused) {
    // As in a dialog: a push button that has the focus is the one Enter clicks and is drawn as
    // the default; with the focus anywhere else, the designed default button is. Qt does the
    // first outside a dialog too, but never gives the designed button its role back.
    auto* button = qobject_cast<QPushButton*>(focused);
    const bool ourButton = button != nullptr && isAncestorOf(button);
    QPushButton& designed = DefaultButton();
    designed.setDefault(!ourButton || button == &designed);
}

QtMainWindow::~QtMainWindow() {
    // The controls are destroyed before QWidget's destructor runs, and a control that goes with
    // the focus moves it: the window must not follow the focus into controls that are gone.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void QtMainWindow::BuildFromDesign() {
    const int dpi = qRound(screen()->logicalDotsPerInch());
    setObjectName(QString::fromUtf8(design::kForm1.name));
    setWindowTitle(ToQString(design::kForm1.caption));
    // The program icon: 48, 32, 24 and 16 pixels, drawn at build time.
    setWindowIcon(QIcon(QStringLiteral(":/foliomix/foliomix.ico")));
    // Fixed size: no border to drag, and no maximize or minimize box (see the window flags).
    const design::PixelRect client = design::ClientAreaPixels(dpi);
    setFixedSize(client.width, client.height);

    std::vector<QWidget*> tabOrder;
    for (const design::ControlDesign& control : design::kControls) {
        QWidget& widget = Widget(control.id);
        widget.setObjectName(QString::fromUtf8(control.name));
        // Qt places a child relative to its parent's outer top-left corner, which is where the
        // design measures the frame's controls from.
        widget.setGeometry(ScaledRect(control, dpi));
        widget.setEnabled(control.enabledAtStart);
        const QString text = ToQString(control.text);
        switch (control.kind) {
            case ControlKind::Frame:
                frame_.setTitle(text);
                frame_.setFocusPolicy(Qt::NoFocus);
                break;
            case ControlKind::ListBox:
                list_.setSelectionMode(QAbstractItemView::SingleSelection);
                list_.setSortingEnabled(false);
                tabOrder.push_back(&widget);
                break;
            case ControlKind::PushButton: {
                QPushButton& button = Button(control.id);
                button.setText(text);
                // Enter on a focused button clicks it; elsewhere it goes to the default button.
                button.setAutoDefault(true);
                button.setDefault(control.defaultButton);
                tabOrder.push_back(&widget);
                break;
            }
            case ControlKind::StatusBar:
                sb_.setSizeGripEnabled(false);
                sb_.setFocusPolicy(Qt::NoFocus);
                // One text across the whole bar, outside the bar's item layout: its padding
                // would leave a designed 17-pixel bar too low for the text.
                simpleText_.setGeometry(sb_.rect().adjusted(2, 0, -2, 0));
                simpleText_.setText(text);
                break;
        }
    }
    // kControls is in tab order already.
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    list_.setFocus();
}

QWidget& QtMainWindow::Widget(ControlId id) {
    switch (id) {
        case ControlId::Frame1:
            return frame_;
        case ControlId::list:
            return list_;
        case ControlId::sb:
            return sb_;
        default:
            return Button(id);
    }
}

QPushButton& QtMainWindow::DefaultButton() {
    for (const design::ControlDesign& control : design::kControls) {
        if (control.defaultButton) {
            return Button(control.id);
        }
    }
    throw std::logic_error("the design names no default button");
}

QPushButton& QtMainWindow::Button(ControlId id) {
    switch (id) {
        case ControlId::cmdAdd:
            return cmdAdd_;
        case ControlId::cmdUp:
            return cmdUp_;
        case ControlId::cmdDown:
            return cmdDown_;
        case ControlId::cmdMerge:
            return cmdMerge_;
        default:
            throw std::logic_error("not a button");
    }
}

void QtMainWindow::AddItem(std::u16string_view text) { list_.addItem(ToQString(text)); }

std::int16_t QtMainWindow::ListCount() const { return static_cast<std::int16_t>(list_.count()); }

std::int16_t QtMainWindow::ListIndex() const {
    // The selected row, not the current one: a row can be current without being selected.
    const QList<QListWidgetItem*> selected = list_.selectedItems();
    return selected.isEmpty() ? std::int16_t{-1}
                              : static_cast<std::int16_t>(list_.row(selected.front()));
}

std::u16string QtMainWindow::List(std::int16_t index) const {
    const QListWidgetItem* item = list_.item(index);
    if (item == nullptr) {
        throw std::out_of_range("no such row");
    }
    return ToU16(item->text());
}

void QtMainWindow::SetList(std::int16_t index, std::u16string_view text) {
    QListWidgetItem* item = list_.item(index);
    if (item == nullptr) {
        throw std::out_of_range("no such row");
    }
    item->setText(ToQString(text));
}

void QtMainWindow::SetEnabled(ControlId button, bool enabled) {
    Button(button).setEnabled(enabled);
}

void QtMainWindow::SetSimpleText(std::u16string_view text) { simpleText_.setText(ToQString(text)); }

void QtMainWindow::SetOpenFlags(std::uint32_t flags) { openFlags_ = flags; }

DialogOutcome QtMainWindow::ShowOpen() {
    if (!open_) {
        return DialogOutcome::Cancelled;
    }
    OpenFileDialog dialog(this);
    PrepareFileDialog(dialog, design::kOfd);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(OpenFileMode(openFlags_));
    // Designed to start at "c:"; the counterpart here is the user's home folder.
    dialog.setDirectory(QDir::home());
    const QStringList chosen = ExecFileDialog(dialog);
    if (chosen.isEmpty() || !FitsTheList(chosen.size())) {
        return DialogOutcome::Cancelled;
    }
    openFileName_ = OpenResult(chosen);
    return DialogOutcome::Confirmed;
}

std::u16string QtMainWindow::OpenFileName() const { return openFileName_; }

DialogOutcome QtMainWindow::ShowSave() {
    if (!open_) {
        return DialogOutcome::Cancelled;
    }
    SaveFileDialog dialog(this);
    PrepareFileDialog(dialog, design::kSfd);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(design::kSfd.initDir.empty() ? QDir::current()
                                                     : QDir(ToQString(design::kSfd.initDir)));
    // The name proposed: at first the designed one, later the last confirmed path.
    dialog.selectFile(ToQString(saveFileName_));
    const QStringList chosen = ExecFileDialog(dialog);
    if (chosen.isEmpty()) {
        return DialogOutcome::Cancelled;
    }
    saveFileName_ = ToU16(chosen.front());
    return DialogOutcome::Confirmed;
}

std::u16string QtMainWindow::SaveFileName() const { return saveFileName_; }

void QtMainWindow::ShowMessage(std::u16string_view text, std::u16string_view title) {
    // A close the user asked for while the engine was busy is honoured before anything new
    // shows: a gone window announces nothing.
    QCoreApplication::processEvents();
    if (!open_) {
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ToQString(title), ToQString(text), QMessageBox::Ok, this);
    box.exec();
}

void QtMainWindow::Beep() {
    // Like a message box, the beep that goes with it is for a window that is still there.
    QCoreApplication::processEvents();
    if (!open_) {
        return;
    }
    QApplication::beep();
}

void QtMainWindow::ProcessPendingEvents() { QCoreApplication::processEvents(); }

bool QtMainWindow::IsOpen() const { return open_; }

void QtMainWindow::closeEvent(QCloseEvent* event) {
    // Never refused. The object stays alive: a merge run in progress sees IsOpen() turn false
    // at its next event point and returns, and the application quits after it.
    open_ = false;
    event->accept();
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
    // Enter that no control used itself (the list passes it on) clicks the default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        DefaultButton().click();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace foliomix::qt
