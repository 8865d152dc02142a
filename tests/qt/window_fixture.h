// The real Qt window on the recording fake engine, with a private home folder holding the
// input files and a private current folder for the result.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "app/qt/qt_main_window.h"
#include "tests/qt/hooked_server.h"
#include "tests/qt/modal_driver.h"
#include "tests/qt/run_outcomes.h"
#include "tests/qt/widget_driver.h"
#include "tests/support/folders.h"
#include "tests/support/qt_path.h"
#include "tests/unit/fake_server.h"

namespace foliomix::testing {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid() && work.isValid());
        folders_.emplace(PathOf(home.path()), PathOf(work.path()));
        fake.displayName = u"LibreOffice Impress";
        OpenWindow();
    }

    void TearDown() override {
        window.reset();
        folders_.reset();
    }

    void OpenWindow() {
        window = std::make_unique<qt::QtMainWindow>(server);
        outcomes.emplace(*window);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // A file in the home folder whose slides the fake engine knows; returns its full path.
    QString MakeDeck(const QString& name, std::vector<std::string> slides) {
        QString path = home.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        homeEntries_ = static_cast<int>(
            QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
        fake.files[path.toStdU16String()] = std::move(slides);
        return path;
    }

    // Adds the files typed into the open dialog, as the user does.
    void AddFiles(const QString& typed) {
        driver.On<QFileDialog>([this, typed](QFileDialog& d) {
            EXPECT_TRUE(WaitForListing(d, homeEntries_));
            TypeName(d, typed);
            Confirm(d);
        });
        Click(Button(*window, design::ControlId::cmdAdd));
        ASSERT_EQ(driver.Pending(), 0U);
    }

    QTemporaryDir home;
    QTemporaryDir work;
    CallLog log;
    FakeServer fake{log};
    HookedServer server{fake};
    ModalDriver driver;
    std::unique_ptr<qt::QtMainWindow> window;
    // What the window's runs ended with.
    std::optional<RunOutcomes> outcomes;

    // Files and folders directly in the home folder.
    int homeEntries_ = 0;

  private:
    std::optional<HomeAndCurrentFolder> folders_;
};

}  // namespace foliomix::testing
