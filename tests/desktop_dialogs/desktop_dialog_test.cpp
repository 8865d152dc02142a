// The window with the desktop's own file dialogs. A platform theme of the test's own offers a
// file dialog, as the desktop's themes do; it records how it was asked to show and answers as
// the test says. The files it returns reach the list in the core's one form, a cancel changes
// nothing, and the save dialog is asked to confirm replacing a file, as with Qt's own dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>
#include <optional>

#include "app/qt/qt_main_window.h"
#include "tests/desktop_dialogs/fake_dialog_theme.h"
#include "tests/qt/modal_driver.h"
#include "tests/qt/run_outcomes.h"
#include "tests/qt/widget_driver.h"
#include "tests/support/suite_set_up.h"
#include "tests/unit/fake_server.h"

namespace foliomix::testing {
namespace {

namespace fake = fake_dialogs;
using design::ControlId;

class DesktopDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid() && work.isValid());
        // The open dialog starts in the home folder, the save dialog in the current one.
        savedHome_ = qgetenv("HOME");
        savedCurrent_ = QDir::currentPath();
        qputenv("HOME", QFile::encodeName(home.path()));
        ASSERT_TRUE(QDir::setCurrent(work.path()));
        qApp->setProperty(fake::kShown, QVariantList());
        OpenWindow();
    }

    void TearDown() override {
        window.reset();
        qputenv("HOME", savedHome_);
        QDir::setCurrent(savedCurrent_);
    }

    void OpenWindow() {
        qApp->setProperty(fake::kShown, QVariantList());
        window = std::make_unique<qt::QtMainWindow>(fake);
        outcomes.emplace(*window);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // A file in the home folder whose slides the fake engine knows; returns its full path.
    QString MakeDeck(const QString& name, std::vector<std::string> slides = {}) {
        QString path = home.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        fake.files[path.toStdU16String()] = std::move(slides);
        return path;
    }

    // What the next dialog returns; none: it is cancelled.
    static void Answer(const QStringList& files) { qApp->setProperty(fake::kAnswer, files); }

    [[nodiscard]] static QVariantList Shown() { return qApp->property(fake::kShown).toList(); }

    QTemporaryDir home;
    QTemporaryDir work;
    CallLog log;
    FakeServer fake{log};
    // Fails the test should any dialog of Qt's own show: every dialog here is the desktop's.
    ModalDriver driver;
    std::unique_ptr<qt::QtMainWindow> window;
    std::optional<RunOutcomes> outcomes;

  private:
    QByteArray savedHome_;
    QString savedCurrent_;
};

struct OpenCase {
    const char* name;
    std::vector<QString> decks;   // in the home folder
    std::vector<QString> chosen;  // relative to the home folder, in the dialog's order
};

TEST_F(DesktopDialogTest, AddPutsTheFilesTheDesktopsDialogReturnsInTheListInItsOrder) {
    const std::vector<OpenCase> cases = {
        {"several in one folder", {"a.ppt", "b.ppt", "c.pptx"}, {"c.pptx", "a.ppt", "b.ppt"}},
        {"one file", {"a.ppt", "b.ppt"}, {"b.ppt"}},
        {"two folders", {"a.ppt", "sub/x.ppt"}, {"sub/x.ppt", "a.ppt"}},
        {"one file in a subfolder", {"sub/deep/x.odp"}, {"sub/deep/x.odp"}},
        {"Chinese names", {"第一.ppt", "第二.ppt"}, {"第二.ppt", "第一.ppt"}},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenWindow();
        for (const QString& deck : c.decks) {
            MakeDeck(deck);
        }
        QStringList chosen;
        for (const QString& file : c.chosen) {
            chosen.append(home.filePath(file));
        }
        Answer(chosen);
        Click(Button(*window, ControlId::cmdAdd));

        ASSERT_EQ(Shown().size(), 1);
        const QVariantMap shown = Shown().front().toMap();
        EXPECT_EQ(shown[fake::kAcceptMode].toInt(), QFileDialog::AcceptOpen);
        EXPECT_EQ(shown[fake::kFileMode].toInt(), QFileDialog::ExistingFiles);
        EXPECT_EQ(shown[fake::kNameFilters].toStringList(), QStringList({"*.ppt"}));
        EXPECT_EQ(QDir(shown[fake::kDirectory].toString()).canonicalPath(),
                  QDir(home.path()).canonicalPath());
        EXPECT_TRUE(shown[fake::kModal].toBool());
        EXPECT_TRUE(shown[fake::kHasParent].toBool());
        // The core turned the dialog's result into one full path per row, in the dialog's order.
        EXPECT_EQ(Rows(ListBox(*window)), chosen);
        EXPECT_FALSE(Button(*window, ControlId::cmdAdd).isEnabled());
        EXPECT_TRUE(Button(*window, ControlId::cmdMerge).isEnabled());
    }
}

TEST_F(DesktopDialogTest, ACancelledOpenDialogAddsNothingAndAddWorksAfterwards) {
    const QString a = MakeDeck("a.ppt");
    Answer({});
    Click(Button(*window, ControlId::cmdAdd));
    EXPECT_EQ(Shown().size(), 1);
    EXPECT_EQ(ListBox(*window).count(), 0);
    EXPECT_TRUE(Button(*window, ControlId::cmdAdd).isEnabled());
    EXPECT_FALSE(Button(*window, ControlId::cmdMerge).isEnabled());

    Answer({a});
    Click(Button(*window, ControlId::cmdAdd));
    EXPECT_EQ(Shown().size(), 2);
    EXPECT_EQ(Rows(ListBox(*window)), QStringList({a}));
}

TEST_F(DesktopDialogTest, TheSaveDialogProposesTheNameAsksBeforeReplacingAndItsChoiceIsSaved) {
    const QString a = MakeDeck("a.ppt", {"a1"});
    const QString b = MakeDeck("b.ppt", {"b1", "b2"});
    Answer({a, b});
    Click(Button(*window, ControlId::cmdAdd));
    ASSERT_EQ(Rows(ListBox(*window)), QStringList({a, b}));

    // The chosen name exists already: the desktop's dialog asked, the user agreed.
    const QString result = QDir(work.path()).filePath(QStringLiteral("结果 1.pptx"));
    QFile existing(result);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    Answer({result});
    QString announced;
    driver.On<QMessageBox>([&](QMessageBox& box) {
        announced = box.text();
        Click(*box.button(QMessageBox::Ok));
    });
    Click(Button(*window, ControlId::cmdMerge));
    EXPECT_EQ(driver.Pending(), 0U);

    ASSERT_EQ(Shown().size(), 2);
    const QVariantMap shown = Shown().back().toMap();
    EXPECT_EQ(shown[fake::kAcceptMode].toInt(), QFileDialog::AcceptSave);
    EXPECT_TRUE(shown[fake::kConfirmOverwrite].toBool());
    EXPECT_EQ(shown[fake::kSelected].toStringList(),
              QStringList({QDir(work.path()).filePath(QStringLiteral("合并结果.ppt"))}));
    EXPECT_EQ(shown[fake::kDefaultSuffix].toString(), QStringLiteral("ppt"));
    EXPECT_EQ(shown[fake::kNameFilters].toStringList(), QStringList({"*.ppt"}));
    EXPECT_TRUE(shown[fake::kModal].toBool());
    EXPECT_EQ(outcomes->Last(), JobOutcome::Completed);
    EXPECT_EQ(announced, QStringLiteral("演示文稿合并完成！"));
    ASSERT_EQ(fake.saved.size(), 1U);
    EXPECT_EQ(QString::fromStdU16String(fake.saved.begin()->first), result);
    EXPECT_EQ(fake.saved.begin()->second, (std::vector<std::string>{"a1", "b1", "b2"}));
}

TEST_F(DesktopDialogTest, ACancelledSaveDialogSavesNothingAndProposesTheSameNameAgain) {
    const QString a = MakeDeck("a.ppt", {"a1"});
    Answer({a});
    Click(Button(*window, ControlId::cmdAdd));
    ASSERT_EQ(Rows(ListBox(*window)), QStringList({a}));

    Answer({});
    Click(Button(*window, ControlId::cmdMerge));
    EXPECT_EQ(outcomes->Last(), JobOutcome::Cancelled);
    EXPECT_TRUE(fake.saved.empty());
    EXPECT_TRUE(Button(*window, ControlId::cmdMerge).isEnabled());

    Answer({});
    Click(Button(*window, ControlId::cmdMerge));
    ASSERT_EQ(Shown().size(), 3);
    EXPECT_EQ(Shown().back().toMap()[fake::kSelected].toStringList(),
              QStringList({QDir(work.path()).filePath(QStringLiteral("合并结果.ppt"))}));
}

}  // namespace
}  // namespace foliomix::testing

int main(int argc, char* argv[]) {
    // Offscreen, with the test's own theme in the place of the desktop's.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("QT_QPA_PLATFORMTHEME", "foliomixfakedialogs");
    qputenv("QT_PLUGIN_PATH", FOLIOMIX_FAKE_THEME_PLUGINS);
    ::testing::InitGoogleTest(&argc, argv);
    foliomix::testing::FailCasesOfAFailedSuiteSetUp();
    QApplication app(argc, argv);
    if (!app.property(foliomix::testing::fake_dialogs::kThemeLoaded).toBool()) {
        std::fprintf(stderr, "the fake desktop theme was not loaded from %s\n",
                     FOLIOMIX_FAKE_THEME_PLUGINS);
        return 1;
    }
    return RUN_ALL_TESTS();
}
