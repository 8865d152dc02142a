#include "tests/qt/modal_driver.h"

#include <gtest/gtest.h>

#include <QPointer>

namespace foliomix::testing {
namespace {

// How long a step waits behind a modal widget of another type before it gives up.
constexpr int kPollsBeforeGivingUp = 1000;

}  // namespace

ModalDriver::ModalDriver() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
}

ModalDriver::~ModalDriver() {
    for (const Step& step : steps_) {
        ADD_FAILURE() << "no " << step.type << " showed for a waiting step";
    }
}

void ModalDriver::Poll() {
    if (acting_) {
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        pollsWaited_ = 0;
        return;
    }
    if (steps_.empty() || modal->metaObject()->className() != steps_.front().type) {
        // A modal widget that no step serves would block the test for good.
        if (++pollsWaited_ == kPollsBeforeGivingUp) {
            ADD_FAILURE() << "a " << modal->metaObject()->className() << " stayed up while "
                          << (steps_.empty() ? std::string("no step was left")
                                             : "waiting for a " + steps_.front().type)
                          << "; closing it";
            pollsWaited_ = 0;
            modal->close();
        }
        return;
    }
    pollsWaited_ = 0;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    // The act runs from a timer of its own: when it opens a further modal window and waits on
    // it, this polling timer is free to fire again and serve the next step.
    acting_ = true;
    QTimer::singleShot(0, &timer_, [this, step = std::move(step), target = QPointer(modal)] {
        acting_ = false;
        if (target.isNull() || !target->isVisible()) {
            steps_.push_front(step);  // it went away on its own; wait for the next one
            return;
        }
        step.act(target.data());
    });
}

}  // namespace foliomix::testing
