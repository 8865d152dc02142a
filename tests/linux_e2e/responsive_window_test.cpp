// The Linux edition's window stays alive through every engine call: while a call runs on the
// adapter's engine thread the window processes its events, a click on a disabled button starts
// nothing, and a close ends the engine at once, even one that answers nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/qt/qt_call_waiter.h"
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
using Clock = std::chrono::steady_clock;

// Registers a waiter with the adapter for as long as it lives.
class RegisteredWaiter {
  public:
    RegisteredWaiter(impress::ImpressPresentationServer& server, const MainWindow& window)
        : server_(server), waiter_(window) {
        server_.SetCallWaiter(&waiter_);
    }
    ~RegisteredWaiter() { server_.SetCallWaiter(nullptr); }
    RegisteredWaiter(const RegisteredWaiter&) = delete;
    RegisteredWaiter& operator=(const RegisteredWaiter&) = delete;

  private:
    impress::ImpressPresentationServer& server_;
    qt::QtCallWaiter waiter_;
};

TEST(ResponsiveWindowTest, ACloseDuringAnInsertThatNeverEndsEndsEverythingAtOnce) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // The test's folder as HOME and as the current folder, where the save dialog proposes the
    // result.
    const HomeAndCurrentFolder inFolder(PathOf(folder.path()), PathOf(folder.path()));
    const QString a = QDir(folder.path()).filePath("a.ppt");
    const QString b = QDir(folder.path()).filePath("b.ppt");
    {
        DeckMaker maker;
        maker.Make(PathOf(a), {"A 1"});
        maker.Make(PathOf(b), {"B 1"});
    }
    const QString result = QDir(folder.path()).filePath("合并结果.ppt");

    ModalDriver driver;
    int enginePid = 0;
    fs::path engineProfile;
    Clock::time_point stoppedAt;
    Clock::time_point eventsAt;
    QStringList rowsDuringTheCall;
    Clock::time_point closedAt;
    {
        impress::ImpressPresentationServer engine;
        HookedServer observed(engine);
        qt::QtMainWindow window(observed);
        const RunOutcomes outcomes(window);
        const RegisteredWaiter waiter(engine, window);
        // The list as an Add leaves it: two rows, 添加 disabled, 开始合并 enabled.
        window.AddItem(a.toStdU16String());
        window.AddItem(b.toStdU16String());
        window.SetEnabled(ControlId::cmdAdd, false);
        window.SetEnabled(ControlId::cmdMerge, true);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

        // Should the window stay frozen after all, the engine goes on after a while, so that
        // the test fails on its checks instead of hanging.
        std::atomic<int> stopped = 0;
        std::jthread rescue([&stopped](const std::stop_token& stop) {
            const auto until = Clock::now() + std::chrono::seconds(20);
            while (!stop.stop_requested() && Clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (stopped > 0) {
                ::kill(stopped, SIGCONT);
            }
        });
        // The engine stops answering in the middle of the first insert; the user clicks the
        // disabled buttons, then closes the window.
        observed.beforeCall = [&, inserts = 0](const std::string& call) mutable {
            if (call != "pres.InsertFromFile" || ++inserts != 1) {
                return;
            }
            enginePid = engine.EngineProcessId();
            engineProfile = engine.EngineProfileDirectory();
            stopped = enginePid;
            ::kill(enginePid, SIGSTOP);
            stoppedAt = Clock::now();
            QTimer::singleShot(std::chrono::milliseconds(500), &window, [&] {
                eventsAt = Clock::now();
                Click(Button(window, ControlId::cmdAdd));
                Click(Button(window, ControlId::cmdMerge));
                rowsDuringTheCall = Rows(ListBox(window));
                closedAt = Clock::now();
                window.close();
            });
        };
        driver.On<QFileDialog>([](QFileDialog& d) { Confirm(d); });
        Click(Button(window, ControlId::cmdMerge));
        const auto returnedAt = Clock::now();

        // The timer fired while the engine was stopped, not once the call had returned.
        ASSERT_NE(eventsAt, Clock::time_point{});
        EXPECT_LT(eventsAt - stoppedAt, std::chrono::seconds(3));
        EXPECT_EQ(rowsDuringTheCall, QStringList({a, b}));
        EXPECT_EQ(outcomes.Last(), JobOutcome::Stopped);
        ASSERT_NE(closedAt, Clock::time_point{});
        EXPECT_LT(returnedAt - closedAt, std::chrono::seconds(2));
        ASSERT_GT(enginePid, 0);
        EXPECT_FALSE(ProcessAlive(enginePid));
        EXPECT_FALSE(fs::exists(engineProfile)) << engineProfile;
    }
    // Nothing that a click on a disabled button could have opened is waiting.
    EXPECT_EQ(driver.Pending(), 0U);
    EXPECT_FALSE(fs::exists(PathOf(result)));
    EXPECT_TRUE(ProcessesMentioning(engineProfile.string()).empty());
}

}  // namespace
}  // namespace foliomix::testing
