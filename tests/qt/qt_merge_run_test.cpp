// The merge run behind cmdMerge in the real window, on the recording fake engine: the save
// dialog, the engine calls, the status texts, the message boxes, and a close during the run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPointer>
#include <functional>
#include <string>

#include "tests/qt/window_fixture.h"

namespace foliomix::testing {
namespace {

using design::ControlId;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const QString kPreparing = QStringLiteral("正在准备合并演示文稿…");
const QString kCompleted = QStringLiteral("演示文稿合并完成！");

QString Progress(int done) {
    return QStringLiteral("正在合并演示文稿…") + QString::number(done) +
           QStringLiteral("个已完成！");
}

std::string Utf8(const QString& text) { return text.toStdString(); }

class MergeRunTest : public WindowTest {
  protected:
    // Decks a, b, c in the home folder with 1, 2 and 0 slides, added to the list in this order.
    void GivenThreeDecks() {
        a = MakeDeck("a.ppt", {"a1"});
        b = MakeDeck("b.ppt", {"b1", "b2"});
        c = MakeDeck("c.ppt", {});
        AddFiles(R"("a.ppt" "b.ppt" "c.ppt")");
        ASSERT_EQ(Rows(ListBox(*window)), QStringList({a, b, c}));
    }

    // Confirms the save dialog with `typed`, then answers the message box that follows.
    void MergeAs(const QString& typed) {
        driver
            .On<QFileDialog>([typed](QFileDialog& d) {
                TypeName(d, typed);
                Confirm(d);
            })
            .On<QMessageBox>([this](QMessageBox& box) { Answer(box); });
        Click(Button(*window, ControlId::cmdMerge));
    }

    void Answer(QMessageBox& box) {
        boxText = box.text();
        boxTitle = box.windowTitle();
        boxIcon = box.icon();
        boxButtons = box.standardButtons();
        boxButtonCount = static_cast<int>(box.buttons().size());
        boxParent = box.parentWidget();
        boxModal = box.isModal();
        statusAtBox = StatusText(*window);
        Click(*box.button(QMessageBox::Ok));
    }

    void ExpectAllButtonsDisabled() {
        for (const ControlId id :
             {ControlId::cmdAdd, ControlId::cmdUp, ControlId::cmdDown, ControlId::cmdMerge}) {
            EXPECT_FALSE(Button(*window, id).isEnabled()) << design::Control(id).name;
        }
    }

    QString a, b, c;
    QString boxText, boxTitle, statusAtBox;
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    QMessageBox::StandardButtons boxButtons;
    int boxButtonCount = 0;
    QWidget* boxParent = nullptr;
    bool boxModal = false;
};

TEST_F(MergeRunTest, MergesTheFilesInListOrderAfterMovesAndAnnouncesIt) {
    GivenThreeDecks();
    // a b c → b a c → b c a
    ClickRow(ListBox(*window), 0);
    Click(Button(*window, ControlId::cmdDown));
    ClickRow(ListBox(*window), 2);
    Click(Button(*window, ControlId::cmdUp));
    ASSERT_EQ(Rows(ListBox(*window)), QStringList({b, c, a}));

    // The status text as the engine sees it when each file is inserted.
    std::vector<QString> statusAtInsert;
    server.beforeCall = [&](const std::string& call) {
        if (call == "pres.InsertFromFile") {
            statusAtInsert.push_back(StatusText(*window));
        }
    };
    MergeAs("result");

    EXPECT_EQ(driver.Pending(), 0U);
    EXPECT_EQ(outcomes->Last(), JobOutcome::Completed);
    const std::string saved = Utf8(QDir(work.path()).filePath("result.ppt"));
    EXPECT_THAT(
        log, ElementsAre("server.CreateApplication", "server.app.DisplayAlerts=false",
                         "server.app.Presentations.Add", "server.pres.SlideCount",
                         "server.pres.InsertFromFile(" + Utf8(b) + ",0)", "server.pres.SlideCount",
                         "server.pres.InsertFromFile(" + Utf8(c) + ",2)", "server.pres.SlideCount",
                         "server.pres.InsertFromFile(" + Utf8(a) + ",2)",
                         "server.pres.SaveAs(" + saved + ")", "server.pres.Release",
                         "server.app.DisplayAlerts=true", "server.app.Quit"));
    EXPECT_THAT(fake.saved[QString::fromStdString(saved).toStdU16String()],
                ElementsAre("b1", "b2", "a1"));
    EXPECT_THAT(statusAtInsert, ElementsAre(kPreparing, Progress(1), Progress(2)));
    EXPECT_EQ(statusAtBox, kCompleted);
    EXPECT_EQ(StatusText(*window), kCompleted);
    EXPECT_EQ(boxText, kCompleted);
    EXPECT_EQ(boxTitle, QStringLiteral("恭喜"));
    ExpectAllButtonsDisabled();
    EXPECT_TRUE(window->IsOpen());
}

TEST_F(MergeRunTest, SaveDialogProposesTheDesignedNameInTheCurrentFolder) {
    GivenThreeDecks();
    driver.On<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(FileNameEdit(d).text(), QStringLiteral("合并结果.ppt"));
        EXPECT_EQ(d.directory().absolutePath(), QDir(work.path()).absolutePath());
        EXPECT_EQ(d.defaultSuffix(), QStringLiteral("ppt"));
        EXPECT_EQ(d.nameFilters(), QStringList({"*.ppt"}));
        EXPECT_FALSE(d.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(d.parentWidget(), window.get());
        Cancel(d);
    });
    Click(Button(*window, ControlId::cmdMerge));
    EXPECT_EQ(driver.Pending(), 0U);
}

struct SaveNameCase {
    const char* name;
    QString typed;
    QString expectedFile;  // in the current folder
};

TEST_F(MergeRunTest, SaveAppendsTheDefaultExtensionOnlyWhenNoneWasTyped) {
    const std::vector<SaveNameCase> cases = {
        {"proposed name kept", "合并结果.ppt", "合并结果.ppt"},
        {"no extension", "result", "result.ppt"},
        {"Chinese, no extension", "结果", "结果.ppt"},
        {"own extension kept", "deck.pptx", "deck.pptx"},
        {"upper case ppt kept", "DECK.PPT", "DECK.PPT"},
    };
    for (const SaveNameCase& t : cases) {
        SCOPED_TRACE(t.name);
        log.clear();
        OpenWindow();
        MakeDeck("a.ppt", {"a1"});
        AddFiles("a.ppt");
        MergeAs(t.typed);
        EXPECT_EQ(outcomes->Last(), JobOutcome::Completed);
        EXPECT_EQ(window->SaveFileName(),
                  QDir(work.path()).filePath(t.expectedFile).toStdU16String());
        EXPECT_TRUE(fake.saved.contains(window->SaveFileName()));
    }
}

TEST_F(MergeRunTest, CancelledSaveDialogChangesNothingAndCanBeShownAgain) {
    GivenThreeDecks();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);
        QString proposed;
        driver.On<QFileDialog>([&](QFileDialog& d) {
            proposed = FileNameEdit(d).text();
            TypeName(d, "other");
            Cancel(d);
        });
        Click(Button(*window, ControlId::cmdMerge));
        EXPECT_EQ(driver.Pending(), 0U);
        // A cancel keeps the name as it was, so the same one is proposed again.
        EXPECT_EQ(proposed, QStringLiteral("合并结果.ppt"));
        EXPECT_EQ(window->SaveFileName(), u"合并结果.ppt");
        EXPECT_EQ(outcomes->Last(), JobOutcome::Cancelled);
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(StatusText(*window), QStringLiteral("就绪"));
        EXPECT_FALSE(Button(*window, ControlId::cmdAdd).isEnabled());
        EXPECT_TRUE(Button(*window, ControlId::cmdUp).isEnabled());
        EXPECT_TRUE(Button(*window, ControlId::cmdDown).isEnabled());
        EXPECT_TRUE(Button(*window, ControlId::cmdMerge).isEnabled());
    }
}

TEST_F(MergeRunTest, ReplacingAnExistingFileIsAskedFirst) {
    GivenThreeDecks();
    QFile existing(QDir(work.path()).filePath("old.ppt"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();

    // No: back in the dialog, which the user then cancels; nothing happens.
    QString question;
    bool dialogBack = false;
    driver
        .On<QFileDialog>([](QFileDialog& d) {
            TypeName(d, "old");
            Confirm(d);
        })
        .On<QMessageBox>([&](QMessageBox& box) {
            question = box.text();
            Click(*box.button(QMessageBox::No));
        })
        .On<QFileDialog>([&](QFileDialog& d) {
            dialogBack = true;
            Cancel(d);
        });
    Click(Button(*window, ControlId::cmdMerge));
    EXPECT_EQ(driver.Pending(), 0U);
    EXPECT_TRUE(question.contains("old.ppt")) << Utf8(question);
    EXPECT_TRUE(dialogBack);
    EXPECT_EQ(outcomes->Last(), JobOutcome::Cancelled);
    EXPECT_TRUE(log.empty());

    // Yes: the run goes on and saves over it.
    driver
        .On<QFileDialog>([](QFileDialog& d) {
            TypeName(d, "old");
            Confirm(d);
        })
        .On<QMessageBox>([](QMessageBox& box) { Click(*box.button(QMessageBox::Yes)); })
        .On<QMessageBox>([this](QMessageBox& box) { Answer(box); });
    Click(Button(*window, ControlId::cmdMerge));
    EXPECT_EQ(driver.Pending(), 0U);
    EXPECT_EQ(outcomes->Last(), JobOutcome::Completed);
    EXPECT_EQ(window->SaveFileName(), QDir(work.path()).filePath("old.ppt").toStdU16String());
}

struct RenameFlow {
    const char* name;
    std::function<void(QFileDialog&)> confirm;
    std::function<void(QMessageBox&)> decline;
    std::function<void(QFileDialog&, const std::string&)> rename;
};

// The proposed name exists; the user declines to replace it, types another name and confirms.
// The keys can reach the name field before Qt has made the dialog active again.
TEST_F(MergeRunTest, AfterDecliningToReplaceTheProposedFileTheTypedNameIsSaved) {
    QFile existing(QDir(work.path()).filePath(QStringLiteral("合并结果.ppt")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const std::vector<RenameFlow> flows = {
        {"keyboard", [](QFileDialog& d) { PressKey(d, Qt::Key_Return); },
         [](QMessageBox& box) { PressKey(box, Qt::Key_N); },
         [](QFileDialog& d, const std::string& name) {
             TypeKeys(d, name);  // over the name, which Qt leaves selected
             PressKey(d, Qt::Key_Return);
         }},
        {"mouse", [](QFileDialog& d) { Confirm(d); },
         [](QMessageBox& box) { Click(*box.button(QMessageBox::No)); },
         [](QFileDialog& d, const std::string& name) {
             TypeName(d, QString::fromStdString(name));
             Confirm(d);
         }},
    };
    for (const RenameFlow& flow : flows) {
        SCOPED_TRACE(flow.name);
        OpenWindow();
        GivenThreeDecks();
        fake.saved.clear();
        const std::string name = std::string("result ") + flow.name;
        QStringList questions;
        // Any further question is answered Yes, as the user did.
        std::function<void(QMessageBox&)> answer = [&](QMessageBox& box) {
            if (box.button(QMessageBox::Yes) == nullptr) {
                Answer(box);
                return;
            }
            questions.append(box.text());
            PressKey(box, Qt::Key_Y);
            // The box clicks after a moment; the next step is for the box after it.
            EXPECT_TRUE(QTest::qWaitFor([&box] { return !box.isVisible(); }));
            driver.On<QMessageBox>(answer);
        };
        driver
            .On<QFileDialog>([&](QFileDialog& d) {
                EXPECT_TRUE(WaitForListing(d, 1));
                flow.confirm(d);
            })
            .On<QMessageBox>([&](QMessageBox& box) {
                questions.append(box.text());
                flow.decline(box);
            })
            .On<QFileDialog>([&](QFileDialog& d) { flow.rename(d, name); })
            .On<QMessageBox>(answer);
        Click(Button(*window, ControlId::cmdMerge));

        // The run went through the question about the proposed file.
        EXPECT_EQ(driver.Pending(), 0U);
        ASSERT_FALSE(questions.isEmpty());
        ASSERT_TRUE(questions.front().contains(QStringLiteral("合并结果.ppt")));
        EXPECT_EQ(questions.size(), 1) << Utf8(questions.back());
        const std::u16string typed =
            QDir(work.path()).filePath(QString::fromStdString(name + ".ppt")).toStdU16String();
        EXPECT_EQ(window->SaveFileName(), typed);
        ASSERT_EQ(fake.saved.size(), 1U);
        EXPECT_EQ(fake.saved.begin()->first, typed);
    }
}

struct MessageCase {
    const char* name;
    std::set<std::string> failing;
    QString text;
    QString title;
    JobOutcome outcome;
};

TEST_F(MergeRunTest, EveryOutcomeIsAnnouncedInAPlainOkBoxOwnedByTheWindow) {
    const std::vector<MessageCase> cases = {
        {"completed", {}, kCompleted, "恭喜", JobOutcome::Completed},
        {"engine missing",
         {"CreateApplication"},
         "出错，系统没有安装 LibreOffice Impress",
         "合并演示文稿",
         JobOutcome::StartFailed},
        {"insert fails",
         {"pres.InsertFromFile"},
         "出现未知错误！退出？",
         "合并演示文稿",
         JobOutcome::InsertFailed},
        {"save fails",
         {"pres.SaveAs"},
         "合并结果保存失败！",
         "合并演示文稿",
         JobOutcome::SaveFailed},
    };
    for (const MessageCase& t : cases) {
        SCOPED_TRACE(t.name);
        fake.failing = t.failing;
        OpenWindow();
        GivenThreeDecks();
        MergeAs("out");
        EXPECT_EQ(driver.Pending(), 0U);
        EXPECT_EQ(outcomes->Last(), t.outcome);
        EXPECT_EQ(boxText, t.text);
        EXPECT_EQ(boxTitle, t.title);
        EXPECT_EQ(boxIcon, QMessageBox::NoIcon);
        EXPECT_EQ(boxButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_EQ(boxButtonCount, 1);
        EXPECT_EQ(boxParent, window.get());
        EXPECT_TRUE(boxModal);
        ExpectAllButtonsDisabled();
        EXPECT_EQ(fake.saved.empty(), t.outcome != JobOutcome::Completed);
        fake.saved.clear();
    }
}

}  // namespace
}  // namespace foliomix::testing
