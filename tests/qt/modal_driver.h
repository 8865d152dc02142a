// Acts as the user on the modal windows that the code under test opens and waits on (file
// dialogs, message boxes): each step waits until the topmost modal widget is of its type, then
// acts on it. Steps run in the order given, each at most once. A step that waits in vain while
// a modal widget that no step serves stays up fails and closes it, so that a test cannot hang.
// Destroying the driver stops it; steps still waiting then are reported as failures unless
// dropped.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>

namespace foliomix::testing {

class ModalDriver {
  public:
    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    template <typename T>
    ModalDriver& On(std::function<void(T&)> act) {
        steps_.push_back({T::staticMetaObject.className(), [act](QWidget* w) {
                              T* target = qobject_cast<T*>(w);
                              if (target == nullptr) {
                                  return false;
                              }
                              act(*target);
                              return true;
                          }});
        return *this;
    }

    [[nodiscard]] std::size_t Pending() const { return steps_.size(); }
    // Forgets the waiting steps: for tests that check a window did not show.
    void Drop() { steps_.clear(); }

  private:
    struct Step {
        std::string type;
        std::function<bool(QWidget*)> act;
    };
    void Poll();

    std::deque<Step> steps_;
    QTimer timer_;
    bool acting_ = false;
    int pollsWaited_ = 0;
};

}  // namespace foliomix::testing
