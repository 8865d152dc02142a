// SIGINT and SIGTERM, which would end the program on the spot, turned into what the user's
// click on the window's close box does: a request to close the window. The window's own close
// path then does the rest, through the program's normal shutdown: a run in progress stops, the
// engine is ended, the settings folder removed. A close may arrive in the middle of an engine
// call (the window's events are processed meanwhile); asking for the close is all this does.
// With a dialog up, which the user would answer before closing the window, the program still
// ends: the window's close quits the application, and that ends every event loop, a dialog's.
//
// The handler only writes a byte to a socket (what a signal handler may safely do); the byte
// wakes a socket notifier in the event loop, which closes the window.
#pragma once

#include <signal.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <array>

namespace foliomix::qt {

class TerminationSignals {
  public:
    // Catches SIGINT and SIGTERM from now on, each unless it was ignored when the program
    // started (as a shell ignores SIGINT for a program it starts in the background). Create
    // after the QApplication; one at a time.
    TerminationSignals();
    // Gives the signals back what they did before.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Every signal caught closes `window` from now on; one caught before waits for the event
    // loop to run.
    void CloseOnSignal(QWidget& window);

    // The first of the signals caught since the program started, 0 for none.
    [[nodiscard]] static int Caught();
    // Ends the process by the signal caught, as it would have ended without the handler, so
    // that whoever started it sees why it ended; returns when none was caught. Call once the
    // program has shut down.
    static void EndByTheSignalCaught();

  private:
    // A file descriptor, closed with the object.
    class Descriptor {
      public:
        explicit Descriptor(int fd) : fd_(fd) {}
        ~Descriptor();
        Descriptor(const Descriptor&) = delete;
        Descriptor& operator=(const Descriptor&) = delete;
        [[nodiscard]] int Get() const { return fd_; }

      private:
        int fd_;
    };

    explicit TerminationSignals(std::array<int, 2> socketEnds);
    void Catch(int number, struct sigaction& previous);
    void Drain() const;

    Descriptor readEnd_;
    Descriptor writeEnd_;
    QSocketNotifier notifier_;
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
    QPointer<QWidget> window_;
};

}  // namespace foliomix::qt
