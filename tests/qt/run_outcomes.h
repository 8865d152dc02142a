// What a window's merge runs ended with, as the window signals it.
#pragma once

#include <QSignalSpy>
#include <optional>

#include "app/qt/qt_main_window.h"

namespace foliomix::testing {

class RunOutcomes {
  public:
    explicit RunOutcomes(qt::QtMainWindow& window)
        : spy_(&window, &qt::QtMainWindow::MergeRunEnded) {}

    // The latest run's outcome; none before the first run ends.
    [[nodiscard]] std::optional<JobOutcome> Last() const {
        if (spy_.isEmpty()) {
            return std::nullopt;
        }
        return spy_.constLast().at(0).value<JobOutcome>();
    }

  private:
    QSignalSpy spy_;
};

}  // namespace foliomix::testing
