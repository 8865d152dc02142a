// The open dialog hands on exactly the files named in its name field, typed or picked, in that
// order and whatever their extension; a name that does not exist is refused as the dialog always
// refuses one, never left out in silence.
#include <gtest/gtest.h>

#include <QMessageBox>

#include "tests/qt/window_fixture.h"

namespace foliomix::testing {
namespace {

using design::ControlId;

struct TypedCase {
    const char* name;
    std::vector<QString> decks;         // created in the home folder
    QString typed;                      // "{home}" stands for the home folder's full path
    std::vector<QString> expectedRows;  // relative to the home folder, in this order
};

TEST_F(WindowTest, EveryTypedFileIsAddedInTheTypedOrderWhateverItsExtension) {
    const std::vector<TypedCase> cases = {
        {"one of another extension between two the filter shows",
         {"a.ppt", "e.pptx", "c.ppt"},
         R"("a.ppt" "e.pptx" "c.ppt")",
         {"a.ppt", "e.pptx", "c.ppt"}},
        {"an order of its own",
         {"a.ppt", "e.pptx", "c.ppt"},
         R"("c.ppt" "e.pptx" "a.ppt")",
         {"c.ppt", "e.pptx", "a.ppt"}},
        {"none the filter shows",
         {"a.ppt", "e.pptx", "f.odp"},
         R"("f.odp" "e.pptx")",
         {"f.odp", "e.pptx"}},
        {"a name with spaces and one in a subfolder",
         {"a.ppt", "my deck.pptx", "sub/x.pptx"},
         R"("my deck.pptx" "sub/x.pptx" "a.ppt")",
         {"my deck.pptx", "sub/x.pptx", "a.ppt"}},
        {"a full path", {"a.ppt", "e.pptx"}, R"("{home}/e.pptx" "a.ppt")", {"e.pptx", "a.ppt"}},
        {"the home folder as ~", {"a.ppt", "e.pptx"}, R"("~/e.pptx" "a.ppt")", {"e.pptx", "a.ppt"}},
        {"Chinese names",
         {"第一.ppt", "第二.pptx"},
         R"("第二.pptx" "第一.ppt")",
         {"第二.pptx", "第一.ppt"}},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenWindow();
        for (const QString& deck : c.decks) {
            MakeDeck(deck, {});
        }
        driver.On<QFileDialog>([&](QFileDialog& d) {
            EXPECT_TRUE(WaitForListing(d, homeEntries_));
            TypeName(d, QString(c.typed).replace(QStringLiteral("{home}"), home.path()));
            EXPECT_TRUE(DialogButton(d, QDialogButtonBox::Open).isEnabled());
            Confirm(d);
        });
        Click(Button(*window, ControlId::cmdAdd));
        ASSERT_EQ(driver.Pending(), 0U);
        QStringList expected;
        for (const QString& file : c.expectedRows) {
            expected.append(home.filePath(file));
        }
        EXPECT_EQ(Rows(ListBox(*window)), expected);
        EXPECT_TRUE(Button(*window, ControlId::cmdMerge).isEnabled());
    }
}

TEST_F(WindowTest, FilesPickedInTheListingThenOneTypedAreAddedInThatOrder) {
    MakeDeck("a.ppt", {});
    MakeDeck("b.ppt", {});
    MakeDeck("c.ppt", {});
    MakeDeck("e.pptx", {});
    driver.On<QFileDialog>([&](QFileDialog& d) {
        ASSERT_TRUE(WaitForListing(d, 3));
        // The listing the user sees: Qt shows its detail view or its list view.
        auto& view = Child<QAbstractItemView>(d, d.viewMode() == QFileDialog::Detail
                                                     ? QStringLiteral("treeView")
                                                     : QStringLiteral("listView"));
        ASSERT_TRUE(view.isVisible());
        const auto pick = [&](const QString& name, Qt::KeyboardModifiers modifiers) {
            const QModelIndexList found = view.model()->match(
                view.model()->index(0, 0, view.rootIndex()), Qt::DisplayRole, name);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers,
                              view.visualRect(found.front()).center());
        };
        pick("c.ppt", {});
        pick("a.ppt", Qt::ControlModifier);
        // Qt writes the picked rows into the name field; the user adds one more there.
        QLineEdit& field = FileNameEdit(d);
        ASSERT_EQ(field.text(), QStringLiteral(R"("c.ppt" "a.ppt")"));
        field.setFocus();
        QTest::keyClick(&field, Qt::Key_End);
        Type(field, QStringLiteral(R"( "e.pptx")"));
        Confirm(d);
    });
    Click(Button(*window, ControlId::cmdAdd));
    ASSERT_EQ(driver.Pending(), 0U);
    EXPECT_EQ(Rows(ListBox(*window)), QStringList({home.filePath("c.ppt"), home.filePath("a.ppt"),
                                                   home.filePath("e.pptx")}));
}

struct MissingCase {
    const char* name;
    std::vector<QString> decks;
    QString typed;
    QString missing;  // the name the warning is about
};

TEST_F(WindowTest, ATypedNameThatDoesNotExistIsRefusedWithTheDialogsWarning) {
    const std::vector<MissingCase> cases = {
        {"beside one the filter shows", {"a.ppt"}, R"("a.ppt" "missing.ppt")", "missing.ppt"},
        {"first, of another extension",
         {"a.ppt", "c.ppt"},
         R"("missing.pptx" "a.ppt" "c.ppt")",
         "missing.pptx"},
        {"last, after one of another extension",
         {"a.ppt", "e.pptx"},
         R"("a.ppt" "e.pptx" "gone.ppt")",
         "gone.ppt"},
    };
    for (const MissingCase& c : cases) {
        SCOPED_TRACE(c.name);
        OpenWindow();
        for (const QString& deck : c.decks) {
            MakeDeck(deck, {});
        }
        QString warning;
        bool stayedUp = false;
        driver
            .On<QFileDialog>([&](QFileDialog& d) {
                EXPECT_TRUE(WaitForListing(d, homeEntries_));
                TypeName(d, c.typed);
                // Enter in the name field: it confirms whether or not Qt enabled the Open
                // button, and returns once the warning below is answered.
                DismissPopups();
                QTest::keyClick(&FileNameEdit(d), Qt::Key_Return);
                stayedUp = d.isVisible();
                if (d.isVisible()) {
                    Cancel(d);
                }
            })
            .On<QMessageBox>([&](QMessageBox& box) {
                warning = box.text();
                box.accept();
            });
        Click(Button(*window, ControlId::cmdAdd));
        EXPECT_EQ(driver.Pending(), 0U);
        EXPECT_TRUE(warning.startsWith(c.missing + u'\n')) << warning.toStdString();
        EXPECT_TRUE(stayedUp);
        EXPECT_EQ(ListBox(*window).count(), 0);
        EXPECT_TRUE(Button(*window, ControlId::cmdAdd).isEnabled());
    }
}

}  // namespace
}  // namespace foliomix::testing
