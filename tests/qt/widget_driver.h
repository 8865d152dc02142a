// Reaching the window's controls by their design names and using them as a user would: mouse
// clicks on buttons and rows, typing into the file dialogs' name field.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QString>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <ostream>
#include <stdexcept>
#include <string>

#include "app/form_design.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace foliomix::testing {

template <typename T = QWidget>
T& Child(const QObject& parent, const QString& name) {
    T* child = parent.findChild<T*>(name);
    if (child == nullptr) {
        throw std::runtime_error("no child named " + name.toStdString());
    }
    return *child;
}

template <typename T = QWidget>
T& Control(const QWidget& window, design::ControlId id) {
    return Child<T>(window, QString::fromUtf8(design::Control(id).name));
}

inline QPushButton& Button(const QWidget& window, design::ControlId id) {
    return Control<QPushButton>(window, id);
}

inline QListWidget& ListBox(const QWidget& window) {
    return Control<QListWidget>(window, design::ControlId::list);
}

// The one text the status bar shows.
inline QString StatusText(const QWidget& window) {
    const auto& bar = Control<QStatusBar>(window, design::ControlId::sb);
    const auto* label = bar.findChild<QLabel*>();
    return label == nullptr ? QString() : label->text();
}

inline void Click(QWidget& widget) { QTest::mouseClick(&widget, Qt::LeftButton); }

inline void ClickRow(QListWidget& list, int row) {
    const QRect rect = list.visualItemRect(list.item(row));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
}

inline QStringList Rows(const QListWidget& list) {
    QStringList rows;
    for (int i = 0; i < list.count(); ++i) {
        rows.append(list.item(i)->text());
    }
    return rows;
}

inline QLineEdit& FileNameEdit(const QFileDialog& dialog) {
    return Child<QLineEdit>(dialog, QStringLiteral("fileNameEdit"));
}

// Types `text` into a line edit: ASCII key by key, anything else as an input method commits it
// (the way Chinese is typed).
inline void Type(QLineEdit& edit, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(&edit, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(&edit, &commit);
        }
    }
}

// Replaces whatever the name field holds with `text`.
inline void TypeName(QFileDialog& dialog, const QString& text) {
    QLineEdit& edit = FileNameEdit(dialog);
    edit.setFocus();
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    Type(edit, text);
}

// Keys pressed as the user presses them: the window system hands them to the window in front,
// which gives them to its focus widget, whether or not Qt has made that window active again.
inline QWindow& KeyTarget(const QWidget& window) {
    QWindow* handle = window.windowHandle();
    if (handle == nullptr) {
        throw std::runtime_error("the window is not shown");
    }
    return *handle;
}

inline void PressKey(const QWidget& window, Qt::Key key) {
    QTest::keyClick(&KeyTarget(window), key);
}

// ASCII only, key by key.
inline void TypeKeys(const QWidget& window, const std::string& text) {
    for (const char c : text) {
        QTest::keyClick(&KeyTarget(window), c);
    }
}

inline QPushButton& DialogButton(const QFileDialog& dialog,
                                 QDialogButtonBox::StandardButton which) {
    auto& box = Child<QDialogButtonBox>(dialog, QStringLiteral("buttonBox"));
    QPushButton* button = box.button(which);
    if (button == nullptr) {
        throw std::runtime_error("the file dialog has no such button");
    }
    return *button;
}

// Waits until the dialog lists at least `entries` files and folders, as a user waits to see the
// folder before choosing from it. Typed names then select the listed files.
inline bool WaitForListing(const QFileDialog& dialog, int entries) {
    const auto& view = Child<QListView>(dialog, QStringLiteral("listView"));
    return QTest::qWaitFor([&] { return view.model()->rowCount(view.rootIndex()) >= entries; });
}

// Closes the name field's completion list, as a user does before reaching for a button.
inline void DismissPopups() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
}

inline void Confirm(QFileDialog& dialog) {
    DismissPopups();
    Click(DialogButton(dialog, dialog.acceptMode() == QFileDialog::AcceptOpen
                                   ? QDialogButtonBox::Open
                                   : QDialogButtonBox::Save));
}

inline void Cancel(QFileDialog& dialog) {
    DismissPopups();
    Click(DialogButton(dialog, QDialogButtonBox::Cancel));
}

}  // namespace foliomix::testing
