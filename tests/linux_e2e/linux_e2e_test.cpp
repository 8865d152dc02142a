// The Linux edition end to end: the real window driven through its widgets, the real
// LibreOffice Impress engine, real .ppt decks made for the test; the saved result is read back
// from disk and its slides checked in order, and no engine process or profile is left behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <optional>

#include "app/qt/qt_main_window.h"
#include "merge/impress/impress_presentation_server.h"
#include "tests/impress/deck_maker.h"
#include "tests/qt/hooked_server.h"
#include "tests/qt/modal_driver.h"
#include "tests/qt/run_outcomes.h"
#include "tests/qt/widget_driver.h"
#include "tests/support/folders.h"
#include "tests/support/qt_path.h"

namespace foliomix::testing {
namespace {

namespace fs = std::filesystem;
using design::ControlId;
using ::testing::ElementsAre;

// A template for a test folder inside one folder that is removed when the program ends. The UNO
// runtime of this process goes on making its settings folder in the HOME of the first test it
// served, after that test has removed its own folders; inside this one that goes too.
QString TestFolderTemplate(const char* name) {
    static const QTemporaryDir root;
    return root.filePath(QString::fromUtf8(name) + QStringLiteral("-XXXXXX"));
}

// Moves the rows into `order` as a user does: select the row, click 上移, select the row it
// went to, click again, and so on.
void Arrange(QWidget& window, const QStringList& order) {
    QListWidget& list = ListBox(window);
    for (int target = 0; target < order.size(); ++target) {
        int row = static_cast<int>(Rows(list).indexOf(order[target]));
        ASSERT_GE(row, target) << order[target].toStdString();
        for (; row > target; --row) {
            ClickRow(list, row);
            Click(Button(window, ControlId::cmdUp));
        }
    }
    ASSERT_EQ(Rows(list), order);
}

class LinuxEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid() && work.isValid());
        folders_.emplace(PathOf(home.path()), PathOf(work.path()));
    }
    void TearDown() override { folders_.reset(); }

    void AddFiles(QWidget& window, const QString& typed, int listed) {
        driver.On<QFileDialog>([typed, listed](QFileDialog& d) {
            EXPECT_TRUE(WaitForListing(d, listed));
            TypeName(d, typed);
            Confirm(d);
        });
        Click(Button(window, ControlId::cmdAdd));
        ASSERT_EQ(driver.Pending(), 0U);
    }

    // Confirms the save dialog as proposed and answers the message box that follows.
    void MergeAsProposed(QWidget& window) {
        driver.On<QFileDialog>([](QFileDialog& d) { Confirm(d); })
            .On<QMessageBox>([this](QMessageBox& box) {
                boxText = box.text();
                boxTitle = box.windowTitle();
                Click(*box.button(QMessageBox::Ok));
            });
        Click(Button(window, ControlId::cmdMerge));
        EXPECT_EQ(driver.Pending(), 0U);
    }

    QTemporaryDir home{TestFolderTemplate("home")};
    QTemporaryDir work{TestFolderTemplate("work")};
    ModalDriver driver;
    QString boxText;
    QString boxTitle;

  private:
    std::optional<HomeAndCurrentFolder> folders_;
};

TEST_F(LinuxEndToEndTest, MergesRealDecksInTheOrderChosenInTheWindow) {
    const QString first = home.filePath("第一.ppt");
    const QString b = home.filePath("b.ppt");
    const QString c = home.filePath("c.ppt");
    int makerPid = 0;
    {
        DeckMaker maker;
        makerPid = maker.Engine().Pid();
        maker.Make(PathOf(first), {"第一 1", "第一 2"});
        maker.Make(PathOf(b), {"B 1"});
        maker.Make(PathOf(c), {"C 1", "C 2", "C 3"});
    }

    int enginePid = 0;
    fs::path engineProfile;
    {
        impress::ImpressPresentationServer engine;
        // Passes every call through unchanged; only notes which engine process did the work.
        HookedServer observed(engine);
        observed.beforeCall = [&](const std::string& call) {
            if (call == "pres.SaveAs") {
                enginePid = engine.EngineProcessId();
                engineProfile = engine.EngineProfileDirectory();
            }
        };
        qt::QtMainWindow window(observed);
        const RunOutcomes outcomes(window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

        AddFiles(window, R"("第一.ppt" "b.ppt" "c.ppt")", 3);
        Arrange(window, {c, first, b});
        MergeAsProposed(window);

        EXPECT_EQ(outcomes.Last(), JobOutcome::Completed);
        EXPECT_EQ(boxText, QStringLiteral("演示文稿合并完成！"));
        EXPECT_EQ(boxTitle, QStringLiteral("恭喜"));
        EXPECT_EQ(StatusText(window), QStringLiteral("演示文稿合并完成！"));
    }

    const fs::path result = PathOf(QDir(work.path()).filePath("合并结果.ppt"));
    ASSERT_TRUE(fs::is_regular_file(result)) << result;
    {
        DeckMaker reader;
        const SavedDeck saved = reader.Read(result);
        EXPECT_THAT(saved.visibleSlides,
                    ElementsAre("C 1", "C 2", "C 3", "第一 1", "第一 2", "B 1"));
        EXPECT_EQ(saved.hiddenSlides, 0);
    }

    ASSERT_GT(enginePid, 0);
    EXPECT_FALSE(ProcessAlive(enginePid));
    EXPECT_FALSE(ProcessAlive(makerPid));
    EXPECT_FALSE(fs::exists(engineProfile)) << engineProfile;
    EXPECT_TRUE(ProcessesMentioning(engineProfile.string()).empty());
}

TEST_F(LinuxEndToEndTest, ClosingTheWindowDuringAMergeEndsTheEngineAndSavesNothing) {
    const QString a = home.filePath("a.ppt");
    const QString b = home.filePath("b.ppt");
    {
        DeckMaker maker;
        maker.Make(PathOf(a), {"A 1"});
        maker.Make(PathOf(b), {"B 1", "B 2"});
    }
    int enginePid = 0;
    fs::path engineProfile;
    {
        impress::ImpressPresentationServer engine;
        HookedServer observed(engine);
        qt::QtMainWindow window(observed);
        const RunOutcomes outcomes(window);
        // The user clicks the close box while the engine inserts the first file; the request
        // waits in the event queue until the run's next event point.
        observed.beforeCall = [&, inserts = 0](const std::string& call) mutable {
            if (call == "pres.InsertFromFile" && ++inserts == 1) {
                enginePid = engine.EngineProcessId();
                engineProfile = engine.EngineProfileDirectory();
                QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection);
            }
        };
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        AddFiles(window, R"("a.ppt" "b.ppt")", 2);
        driver.On<QFileDialog>([](QFileDialog& d) { Confirm(d); });
        Click(Button(window, ControlId::cmdMerge));
        EXPECT_EQ(driver.Pending(), 0U);

        EXPECT_EQ(outcomes.Last(), JobOutcome::Stopped);
        EXPECT_FALSE(window.IsOpen());
        // The run has shut the engine down before the window and the server go.
        ASSERT_GT(enginePid, 0);
        EXPECT_FALSE(ProcessAlive(enginePid));
        EXPECT_FALSE(fs::exists(engineProfile)) << engineProfile;
    }
    EXPECT_FALSE(fs::exists(PathOf(QDir(work.path()).filePath("合并结果.ppt"))));
    EXPECT_TRUE(ProcessesMentioning(engineProfile.string()).empty());
}

TEST_F(LinuxEndToEndTest, AnEngineThatCannotStartIsNamedInTheMessage) {
    const QString deck = home.filePath("a.ppt");
    {
        DeckMaker maker;
        maker.Make(PathOf(deck), {"A 1"});
    }
    impress::ImpressPresentationServer engine(impress::ImpressOptions{
        .start = {.program = (fs::path(work.path().toStdString()) / "no-soffice").string()}});
    qt::QtMainWindow window(engine);
    const RunOutcomes outcomes(window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    AddFiles(window, "a.ppt", 1);
    MergeAsProposed(window);

    EXPECT_EQ(outcomes.Last(), JobOutcome::StartFailed);
    EXPECT_EQ(boxText, QStringLiteral("出错，系统没有安装 LibreOffice Impress"));
    EXPECT_EQ(boxTitle, QStringLiteral("合并演示文稿"));
    EXPECT_EQ(StatusText(window), QStringLiteral("正在准备合并演示文稿…"));
    EXPECT_FALSE(fs::exists(PathOf(QDir(work.path()).filePath("合并结果.ppt"))));
    EXPECT_EQ(engine.EngineProcessId(), 0);
}

}  // namespace
}  // namespace foliomix::testing
