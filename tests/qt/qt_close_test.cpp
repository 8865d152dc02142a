// Closing the window while a merge run is in progress: the close is accepted at once, the run
// notices at its next event point, shuts the engine down, touches the window no more and
// returns; the event loop then ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include "tests/qt/window_fixture.h"

namespace foliomix::testing {
namespace {

using design::ControlId;
using ::testing::ElementsAreArray;

// Calls `act` once, when the watched widget is disabled.
class OnDisabled : public QObject {
  public:
    OnDisabled(QWidget& watched, std::function<void()> act) : act_(std::move(act)) {
        watched.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange && act_ &&
            !qobject_cast<QWidget*>(watched)->isEnabled()) {
            std::exchange(act_, nullptr)();
        }
        return false;
    }

  private:
    std::function<void()> act_;
};

struct CloseCase {
    const char* name;
    // When the user clicks the close box: "" right after the save dialog, or before the N-th
    // call of that name reaches the engine ("pres.InsertFromFile#2").
    std::string closeAt;
    std::vector<std::string> expectedLog;  // without the "server." prefix; "a", "b": the paths
    JobOutcome outcome;
    QString statusLeft;
};

const std::vector<std::string> kStart = {"CreateApplication", "app.DisplayAlerts=false",
                                         "app.Presentations.Add"};
const std::vector<std::string> kInsertA = {"pres.SlideCount", "pres.InsertFromFile(a,0)"};
const std::vector<std::string> kInsertB = {"pres.SlideCount", "pres.InsertFromFile(b,1)"};
// The result is released before the engine is told to end.
const std::vector<std::string> kShutDown = {"pres.Release", "app.Quit", "CreateGlobal",
                                            "global.Application", "globalApp.Quit"};
const std::vector<std::string> kSaveAndQuit = {"pres.SaveAs(out)", "pres.Release",
                                               "app.DisplayAlerts=true", "app.Quit"};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const QString kPreparing = QStringLiteral("正在准备合并演示文稿…");

QString Progress(int done) {
    return QStringLiteral("正在合并演示文稿…") + QString::number(done) +
           QStringLiteral("个已完成！");
}

class CloseDuringRunTest : public WindowTest {
  protected:
    void GivenTwoDecks() {
        a = MakeDeck("a.ppt", {"a1"});
        b = MakeDeck("b.ppt", {"b1"});
        AddFiles(R"("a.ppt" "b.ppt")");
        ASSERT_EQ(Rows(ListBox(*window)), QStringList({a, b}));
    }

    // Closes the window as the user does: the request waits in the event queue until the run
    // lets the window process its events.
    void RequestClose() {
        QMetaObject::invokeMethod(window.get(), &QWidget::close, Qt::QueuedConnection);
    }

    void CloseAt(const std::string& closeAt) {
        if (closeAt.empty()) {
            onDisabled_ = std::make_unique<OnDisabled>(Button(*window, ControlId::cmdMerge),
                                                       [this] { RequestClose(); });
            return;
        }
        const std::string name = closeAt.substr(0, closeAt.find('#'));
        const int nth = closeAt.find('#') == std::string::npos
                            ? 1
                            : std::stoi(closeAt.substr(closeAt.find('#') + 1));
        server.beforeCall = [this, name, nth, seen = 0](const std::string& call) mutable {
            if (call == name && ++seen == nth) {
                RequestClose();
            }
        };
    }

    void StartMerge() {
        driver.On<QFileDialog>([](QFileDialog& d) {
            TypeName(d, "out");
            Confirm(d);
        });
        // A message box must not show for a window that is gone.
        driver.On<QMessageBox>([this](QMessageBox& box) {
            messageShown = true;
            box.accept();
        });
        Click(Button(*window, ControlId::cmdMerge));
    }

    QString a, b;
    bool messageShown = false;

  private:
    std::unique_ptr<OnDisabled> onDisabled_;
};

TEST_F(CloseDuringRunTest, RunStopsAtTheNextEventPointAndShutsTheEngineDown) {
    const std::vector<CloseCase> cases = {
        {"right after the save dialog", "", {}, JobOutcome::Stopped, kPreparing},
        {"while the engine starts", "CreateApplication", Concat({kStart, kShutDown}),
         JobOutcome::Stopped, kPreparing},
        {"while the first file is inserted", "pres.InsertFromFile#1",
         Concat({kStart, kInsertA, kShutDown}), JobOutcome::Stopped, Progress(1)},
        // No event point follows the last file: the result is saved, but the window that is
        // gone by then announces nothing.
        {"while the last file is inserted", "pres.InsertFromFile#2",
         Concat({kStart, kInsertA, kInsertB, kSaveAndQuit}), JobOutcome::Completed,
         QStringLiteral("演示文稿合并完成！")},
    };
    for (const CloseCase& t : cases) {
        SCOPED_TRACE(t.name);
        log.clear();
        fake.saved.clear();
        messageShown = false;
        OpenWindow();
        GivenTwoDecks();
        CloseAt(t.closeAt);
        StartMerge();
        driver.Drop();

        const std::string out = QDir(work.path()).filePath("out.ppt").toStdString();
        std::vector<std::string> expected;
        for (std::string call : t.expectedLog) {
            for (const auto& [name, path] :
                 {std::pair{"(a,", a.toStdString() + ","}, std::pair{"(b,", b.toStdString() + ","},
                  std::pair{"(out)", out + ")"}}) {
                if (const auto at = call.find(name); at != std::string::npos) {
                    call.replace(at + 1, std::string(name).size() - 1, path);
                }
            }
            expected.push_back("server." + call);
        }
        EXPECT_THAT(log, ElementsAreArray(expected));
        EXPECT_EQ(outcomes->Last(), t.outcome);
        EXPECT_FALSE(window->IsOpen());
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(messageShown);
        EXPECT_EQ(fake.saved.empty(), t.outcome != JobOutcome::Completed);
        EXPECT_EQ(StatusText(*window), t.statusLeft);
        for (const ControlId id :
             {ControlId::cmdAdd, ControlId::cmdUp, ControlId::cmdDown, ControlId::cmdMerge}) {
            EXPECT_FALSE(Button(*window, id).isEnabled()) << design::Control(id).name;
        }
        // The window releases what the run kept of the engine when it goes.
        window.reset();
        EXPECT_EQ(fake.liveReferences, 0);
    }
}

struct LoopCase {
    const char* name;
    bool merging;  // close during a run, or while the window is idle
};

TEST_F(CloseDuringRunTest, EventLoopEndsOnceTheWindowIsClosedAndNoHandlerRuns) {
    for (const LoopCase& t : {LoopCase{"idle", false}, LoopCase{"during a run", true}}) {
        SCOPED_TRACE(t.name);
        log.clear();
        OpenWindow();
        GivenTwoDecks();
        ASSERT_TRUE(QApplication::quitOnLastWindowClosed());
        if (t.merging) {
            CloseAt("pres.InsertFromFile#1");
            QTimer::singleShot(0, window.get(), [this] { StartMerge(); });
        } else {
            QTimer::singleShot(0, window.get(), [this] { RequestClose(); });
        }
        // A guard against hanging, not a time limit on the program: it ends the loop with a
        // code of its own.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(3); });
        guard.start(30000);
        EXPECT_EQ(QApplication::exec(), 0);
        driver.Drop();
        EXPECT_FALSE(window->IsOpen());
        if (t.merging) {
            EXPECT_EQ(outcomes->Last(), JobOutcome::Stopped);
            EXPECT_EQ(log.back(), "server.globalApp.Quit");
        } else {
            EXPECT_FALSE(outcomes->Last().has_value());
            EXPECT_TRUE(log.empty());
        }
    }
}

}  // namespace
}  // namespace foliomix::testing
