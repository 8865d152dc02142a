// The window as built from its design, and the merge list driven through its widgets.
#include "app/qt/qt_main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>
#include <QScreen>

#include "app/form_geometry.h"
#include "app/qt/scratch_settings.h"
#include "app/qt/toolkit_translation.h"
#include "tests/qt/window_fixture.h"

namespace foliomix::testing {
namespace {

using design::ControlId;
using design::ControlKind;

int Dpi(const QWidget& widget) { return qRound(widget.screen()->logicalDotsPerInch()); }

// Where the design puts a control in the window, by the rule both editions share (its figures
// are checked in tests/unit/form_geometry_test.cpp).
QRect DesignRect(const design::ControlDesign& control, int dpi) {
    const design::PixelRect r = design::ControlPixels(control, dpi);
    return {r.left, r.top, r.width, r.height};
}

QString DesignText(const design::ControlDesign& control) {
    return QString::fromStdU16String(std::u16string(control.text));
}

TEST_F(WindowTest, WindowHasItsCaptionFixedSizeAndOnlyACloseBox) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Foliomix 1.0"));
    const int dpi = Dpi(*window);
    // Whether Qt scales (device pixel ratio) or the window does (logical density), the window
    // covers the designed size on the screen's real density.
    const int deviceDpi =
        qRound(window->screen()->logicalDotsPerInch() * window->devicePixelRatioF());
    EXPECT_EQ(window->grab().size(),  // in device pixels
              QSize(design::TwipsToPixels(design::kForm1.clientWidthTwips, deviceDpi),
                    design::TwipsToPixels(design::kForm1.clientHeightTwips, deviceDpi)));
    // Set when the suite runs on a screen of another density, to be sure it really does.
    if (const QByteArray expected = qgetenv("FOLIOMIX_EXPECTED_DPI"); !expected.isEmpty()) {
        EXPECT_EQ(deviceDpi, expected.toInt());
    }
    const QSize client(design::TwipsToPixels(design::kForm1.clientWidthTwips, dpi),
                       design::TwipsToPixels(design::kForm1.clientHeightTwips, dpi));
    EXPECT_EQ(window->size(), client);
    EXPECT_EQ(window->minimumSize(), client);
    EXPECT_EQ(window->maximumSize(), client);
    window->resize(client * 2);
    EXPECT_EQ(window->size(), client) << "the window must not resize";

    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    // No font of its own: the system's user-interface font throughout.
    EXPECT_FALSE(window->testAttribute(Qt::WA_SetFont));
    EXPECT_EQ(window->font(), QApplication::font());
}

TEST_F(WindowTest, EveryControlStandsWhereTheDesignPutsItWithItsTextAndState) {
    const int dpi = Dpi(*window);
    for (const design::ControlDesign& control : design::kControls) {
        SCOPED_TRACE(std::string(control.name));
        QWidget& widget = Control(*window, control.id);
        EXPECT_TRUE(widget.isVisible());
        EXPECT_EQ(QRect(widget.mapTo(window.get(), QPoint(0, 0)), widget.size()),
                  DesignRect(control, dpi));
        EXPECT_EQ(widget.isEnabled(), control.enabledAtStart);
        switch (control.kind) {
            case ControlKind::Frame:
                EXPECT_EQ(Control<QGroupBox>(*window, control.id).title(), DesignText(control));
                break;
            case ControlKind::PushButton:
                EXPECT_EQ(Button(*window, control.id).text(), DesignText(control));
                EXPECT_EQ(Button(*window, control.id).isDefault(), control.defaultButton);
                break;
            case ControlKind::StatusBar:
                EXPECT_EQ(StatusText(*window), DesignText(control));
                EXPECT_EQ(StatusText(*window), QStringLiteral("就绪"));
                break;
            case ControlKind::ListBox:
                break;
        }
    }
    // Controls that touch in twips touch in pixels at every density: the status bar closes off
    // the window's foot exactly, neither short of it nor past it.
    const QWidget& bar = Control(*window, ControlId::sb);
    EXPECT_EQ(bar.mapTo(window.get(), QPoint(0, 0)).y() + bar.height(), window->height());
    EXPECT_EQ(bar.width(), window->width());
    // The frame's controls belong to the frame.
    EXPECT_EQ(ListBox(*window).parentWidget(), &Control(*window, ControlId::Frame1));
    EXPECT_EQ(Button(*window, ControlId::cmdDown).parentWidget(),
              &Control(*window, ControlId::Frame1));
    EXPECT_EQ(Button(*window, ControlId::cmdMerge).parentWidget(), window.get());
}

TEST_F(WindowTest, ListStartsEmptySingleSelectionUnsorted) {
    QListWidget& list = ListBox(*window);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(window->ListIndex(), -1);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(list.isSortingEnabled());
    // Rows stay in the order they were appended, and a row that is only current (the focus
    // put it there) is not a selection.
    window->AddItem(u"/z.ppt");
    window->AddItem(u"/a.ppt");
    list.setCurrentRow(0, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(window->ListIndex(), -1);
    EXPECT_EQ(Rows(list), QStringList({"/z.ppt", "/a.ppt"}));
}

TEST_F(WindowTest, TextsFitTheirControlsAtThisDensity) {
    // The design's pixel sizes are tight; a font or scale that clips a caption is a fault.
    for (const design::ControlDesign& control : design::kControls) {
        if (control.kind != ControlKind::PushButton) {
            continue;
        }
        SCOPED_TRACE(std::string(control.name));
        const QPushButton& button = Button(*window, control.id);
        EXPECT_LE(button.fontMetrics().horizontalAdvance(button.text()), button.width());
        EXPECT_LE(button.fontMetrics().height(), button.height());
    }
    const auto& frame = Control<QGroupBox>(*window, ControlId::Frame1);
    EXPECT_LE(frame.fontMetrics().horizontalAdvance(frame.title()), frame.width());
    const QWidget& bar = Control(*window, ControlId::sb);
    const auto* text = bar.findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_GE(text->height(), text->fontMetrics().height());
    EXPECT_TRUE(bar.rect().contains(text->geometry()));

    const QImage shot = window->grab().toImage();
    const QString path = qEnvironmentVariable("FOLIOMIX_SCREENSHOT");
    if (!path.isEmpty()) {
        EXPECT_TRUE(shot.save(path));
    }
}

TEST_F(WindowTest, FocusStartsOnTheListAndTabSkipsDisabledButtons) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const auto focusName = [] {
        const QWidget* focus = QApplication::focusWidget();
        return focus == nullptr ? QStringLiteral("(none)") : focus->objectName();
    };
    const auto focusTrail = [&](int presses) {
        QStringList trail{focusName()};
        for (int i = 0; i < presses && QApplication::focusWidget() != nullptr; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            trail.append(focusName());
        }
        return trail;
    };
    EXPECT_EQ(focusTrail(2), QStringList({"list", "cmdAdd", "list"}));

    MakeDeck("a.ppt", {});
    MakeDeck("b.ppt", {});
    AddFiles(R"("a.ppt" "b.ppt")");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ListBox(*window).setFocus();
    EXPECT_EQ(focusTrail(4), QStringList({"list", "cmdUp", "cmdDown", "cmdMerge", "list"}));
}

TEST_F(WindowTest, TheDefaultButtonIsTheFocusedButtonOrElseTheDesignedOne) {
    MakeDeck("a.ppt", {});
    AddFiles("a.ppt");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QPushButton& merge = Button(*window, ControlId::cmdMerge);
    QPushButton& up = Button(*window, ControlId::cmdUp);
    const auto defaults = [&] { return std::pair{merge.isDefault(), up.isDefault()}; };
    // From the designed button to another one and on to the list, and back.
    merge.setFocus();
    EXPECT_EQ(defaults(), std::pair(true, false));
    up.setFocus();
    EXPECT_EQ(defaults(), std::pair(false, true));
    ListBox(*window).setFocus();
    EXPECT_EQ(defaults(), std::pair(true, false));
    merge.setFocus();
    ListBox(*window).setFocus();
    EXPECT_EQ(defaults(), std::pair(true, false));
}

TEST_F(WindowTest, CarriesTheProgramIconInEverySize) {
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    for (const int side : {16, 24, 32, 48}) {
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    }
}

TEST_F(WindowTest, EnterClicksTheDefaultButtonOnlyWhenItIsEnabled) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ListBox(*window).setFocus();
    // cmdMerge is still disabled: Enter must not start a run.
    driver.On<QFileDialog>([](QFileDialog& d) { Cancel(d); });
    QTest::keyClick(&ListBox(*window), Qt::Key_Return);
    EXPECT_EQ(driver.Pending(), 1U);
    EXPECT_FALSE(outcomes->Last().has_value());
    driver.Drop();

    MakeDeck("a.ppt", {});
    AddFiles("a.ppt");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ListBox(*window).setFocus();
    QString shown;
    driver.On<QFileDialog>([&](QFileDialog& d) {
        shown = d.acceptMode() == QFileDialog::AcceptSave ? "save" : "open";
        Cancel(d);
    });
    QTest::keyClick(&ListBox(*window), Qt::Key_Return);
    EXPECT_EQ(shown, QStringLiteral("save"));
    EXPECT_EQ(outcomes->Last(), JobOutcome::Cancelled);
}

// The open dialog, as the merge list shows it, with the result it hands on.
TEST_F(WindowTest, AddShowsTheOpenDialogWithItsSettings) {
    MakeDeck("a.ppt", {});
    driver.On<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFiles);
        EXPECT_EQ(d.nameFilters(), QStringList({"*.ppt"}));
        EXPECT_EQ(d.directory().absolutePath(), QDir(home.path()).absolutePath());
        // The choice of dialog is the platform's (the tests pick Qt's own for the whole
        // program): the window does not insist on Qt's own.
        EXPECT_FALSE(d.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_TRUE(d.isModal());
        EXPECT_EQ(d.parentWidget(), window.get());
        Cancel(d);
    });
    Click(Button(*window, ControlId::cmdAdd));
    EXPECT_EQ(driver.Pending(), 0U);
}

struct AddCase {
    const char* name;
    std::vector<QString> decks;  // created in the home folder
    QString typed;
    std::vector<QString> expectedFiles;  // relative to the home folder, in any order
};

TEST_F(WindowTest, AddAppendsTheChosenFilesAsFullPathsInTheDialogsOrder) {
    const std::vector<AddCase> cases = {
        {"several",
         {"c.ppt", "a.ppt", "b.ppt"},
         R"("c.ppt" "a.ppt" "b.ppt")",
         {"c.ppt", "a.ppt", "b.ppt"}},
        {"one", {"a.ppt", "b.ppt"}, "b.ppt", {"b.ppt"}},
        {"Chinese names",
         {"第一.ppt", "第二.ppt"},
         R"("第二.ppt" "第一.ppt")",
         {"第二.ppt", "第一.ppt"}},
        {"two folders", {"a.ppt", "sub/x.ppt"}, R"("sub/x.ppt" "a.ppt")", {"sub/x.ppt", "a.ppt"}},
    };
    for (const AddCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenWindow();
        for (const QString& deck : c.decks) {
            MakeDeck(deck, {});
        }
        QStringList atConfirm;
        driver.On<QFileDialog>([&](QFileDialog& d) {
            EXPECT_TRUE(WaitForListing(d, homeEntries_));
            TypeName(d, c.typed);
            Confirm(d);
            atConfirm = d.selectedFiles();
        });
        Click(Button(*window, ControlId::cmdAdd));
        ASSERT_EQ(driver.Pending(), 0U);
        // Each chosen file once, in the order the dialog held them when the user confirmed,
        // whatever it does with its selection afterwards.
        const QStringList rows = Rows(ListBox(*window));
        EXPECT_EQ(rows, atConfirm);
        QStringList expected;
        for (const QString& file : c.expectedFiles) {
            expected.append(home.filePath(file));
        }
        QStringList sortedRows = rows;
        sortedRows.sort();
        expected.sort();
        EXPECT_EQ(sortedRows, expected);
        EXPECT_FALSE(Button(*window, ControlId::cmdAdd).isEnabled());
        EXPECT_TRUE(Button(*window, ControlId::cmdUp).isEnabled());
        EXPECT_TRUE(Button(*window, ControlId::cmdDown).isEnabled());
        EXPECT_TRUE(Button(*window, ControlId::cmdMerge).isEnabled());
        EXPECT_EQ(window->ListIndex(), -1);
    }
}

TEST_F(WindowTest, CancelledAddChangesNothingAndAddWorksAfterwards) {
    const QString a = MakeDeck("a.ppt", {});
    driver.On<QFileDialog>([](QFileDialog& d) {
        TypeName(d, "a.ppt");
        Cancel(d);
    });
    Click(Button(*window, ControlId::cmdAdd));
    EXPECT_EQ(driver.Pending(), 0U);
    EXPECT_EQ(ListBox(*window).count(), 0);
    EXPECT_TRUE(Button(*window, ControlId::cmdAdd).isEnabled());
    EXPECT_FALSE(Button(*window, ControlId::cmdUp).isEnabled());
    EXPECT_FALSE(Button(*window, ControlId::cmdDown).isEnabled());
    EXPECT_FALSE(Button(*window, ControlId::cmdMerge).isEnabled());
    EXPECT_EQ(StatusText(*window), QStringLiteral("就绪"));

    AddFiles("a.ppt");
    EXPECT_EQ(Rows(ListBox(*window)), QStringList({a}));
}

TEST_F(WindowTest, OpenDialogNeverHandsOnAFileThatDoesNotExist) {
    MakeDeck("a.ppt", {});
    // Qt's dialog drops a typed name that its listing does not hold, or warns about it; either
    // way no missing file may reach the list.
    driver
        .On<QFileDialog>([&](QFileDialog& d) {
            EXPECT_TRUE(WaitForListing(d, homeEntries_));
            TypeName(d, R"("a.ppt" "missing.ppt")");
            Confirm(d);
            if (d.isVisible()) {
                Cancel(d);
            }
        })
        .On<QMessageBox>([](QMessageBox& box) { box.accept(); })
        .On<QFileDialog>([](QFileDialog& d) { Cancel(d); });
    Click(Button(*window, ControlId::cmdAdd));
    driver.Drop();
    for (const QString& row : Rows(ListBox(*window))) {
        EXPECT_TRUE(QFileInfo::exists(row)) << row.toStdString();
    }
}

struct MoveCase {
    const char* name;
    int selectRow;  // -1: the user selects nothing
    std::vector<ControlId> clicks;
    QStringList expectedOrder;
    int expectedSelection;
};

TEST_F(WindowTest, MovesSwapWithTheNeighbourAndKeepTheSelectionIndex) {
    const std::vector<MoveCase> cases = {
        {"middle up", 1, {ControlId::cmdUp}, {"b", "a", "c"}, 1},
        {"middle down", 1, {ControlId::cmdDown}, {"a", "c", "b"}, 1},
        {"first up", 0, {ControlId::cmdUp}, {"a", "b", "c"}, 0},
        {"last down", 2, {ControlId::cmdDown}, {"a", "b", "c"}, 2},
        {"nothing selected up", -1, {ControlId::cmdUp}, {"a", "b", "c"}, -1},
        {"nothing selected down", -1, {ControlId::cmdDown}, {"a", "b", "c"}, -1},
        {"up twice restores", 2, {ControlId::cmdUp, ControlId::cmdUp}, {"a", "b", "c"}, 2},
        // The selection stays on row 0, which now holds b: the second click finds the first
        // row selected and does nothing.
        {"first down then up", 0, {ControlId::cmdDown, ControlId::cmdUp}, {"b", "a", "c"}, 0},
        {"last up then down", 2, {ControlId::cmdUp, ControlId::cmdDown}, {"a", "c", "b"}, 2},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenWindow();
        for (const char* deck : {"a.ppt", "b.ppt", "c.ppt"}) {
            MakeDeck(deck, {});
        }
        AddFiles(R"("a.ppt" "b.ppt" "c.ppt")");
        QListWidget& list = ListBox(*window);
        if (c.selectRow >= 0) {
            ClickRow(list, c.selectRow);
        }
        for (const ControlId button : c.clicks) {
            Click(Button(*window, button));
        }
        QStringList expected;
        for (const QString& name : c.expectedOrder) {
            expected.append(home.filePath(name + ".ppt"));
        }
        EXPECT_EQ(Rows(list), expected);
        EXPECT_EQ(window->ListIndex(), c.expectedSelection);
        EXPECT_EQ(list.selectedItems().size(), c.expectedSelection < 0 ? 0 : 1);
    }
}

TEST_F(WindowTest, FileDialogsLeaveNothingInTheHomeFolder) {
    const qt::ScratchSettings settings;
    MakeDeck("a.ppt", {});
    AddFiles("a.ppt");
    driver.On<QFileDialog>([](QFileDialog& d) { Cancel(d); });
    Click(Button(*window, ControlId::cmdMerge));
    EXPECT_EQ(driver.Pending(), 0U);

    // Qt did keep its dialog settings, but in the scratch folder, not among the user's files.
    EXPECT_FALSE(QDir(settings.Folder()).isEmpty());
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"a.ppt"}));
}

TEST_F(WindowTest, DialogsSpeakTheUsersLanguageTheWindowStaysChinese) {
    struct LanguageCase {
        QLocale locale;
        QString cancel;
        QString ok;
    };
    for (const LanguageCase& t :
         {LanguageCase{QLocale(QLocale::Chinese, QLocale::China), "取消", "确定"},
          LanguageCase{QLocale(QLocale::English, QLocale::UnitedStates), "Cancel", "OK"}}) {
        SCOPED_TRACE(t.locale.name().toStdString());
        const qt::ToolkitTranslation translation(t.locale);
        EXPECT_TRUE(translation.Loaded());
        OpenWindow();
        QString cancel;
        driver.On<QFileDialog>([&](QFileDialog& d) {
            cancel = DialogButton(d, QDialogButtonBox::Cancel).text();
            Cancel(d);
        });
        Click(Button(*window, ControlId::cmdAdd));
        EXPECT_EQ(cancel, t.cancel);
        QString ok;
        driver.On<QMessageBox>([&](QMessageBox& box) {
            ok = box.button(QMessageBox::Ok)->text();
            box.accept();
        });
        window->ShowMessage(u"演示文稿合并完成！", u"恭喜");
        EXPECT_EQ(ok, t.ok);
        EXPECT_EQ(Button(*window, ControlId::cmdAdd).text(), QStringLiteral("添加"));
    }
}

TEST_F(WindowTest, DisabledButtonsIgnoreClicksAtStart) {
    for (const ControlId id : {ControlId::cmdUp, ControlId::cmdDown, ControlId::cmdMerge}) {
        Click(Button(*window, id));
    }
    EXPECT_FALSE(outcomes->Last().has_value());
    EXPECT_EQ(ListBox(*window).count(), 0);
    EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace foliomix::testing
