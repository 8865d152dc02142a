#include "tests/qt/modal_driver.h"

#include <gtest/gtest.h>

namespace foliomix::testing {

ModalDriver::ModalDriver() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
}

ModalDriver::~ModalDriver() {
    for (const Step& step : steps_) {
        ADD_FAILURE() << "no " << step.type << " showed for a waiting step";
    }
}

void ModalDriver::Poll() {
    if (steps_.empty()) {
        timer_.stop();
        return;
    }
    if (acting_) {
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() ||
        modal->metaObject()->className() != steps_.front().type) {
        return;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    // The act runs from a timer of its own: when it opens a further modal window and waits on
    // it, this polling timer is free to fire again and serve the next step.
    acting_ = true;
    QTimer::singleShot(0, &timer_, [this, step = std::move(step), modal] {
        acting_ = false;
        step.act(modal);
    });
}

}  // namespace foliomix::testing
