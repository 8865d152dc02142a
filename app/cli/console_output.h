// The program's standard error as its progress and its messages share it. On a terminal the
// progress is one line, rewritten in place (carriage return) and kept within the terminal's
// width, so that it never wraps; elsewhere (a pipe, a log file) every progress line stands on
// its own. A message always stands on a line of its own, after the progress line shown.
#pragma once

#include <ostream>
#include <string_view>

namespace foliomix::cli {

class ConsoleOutput {
  public:
    // `terminalColumns`: the terminal's width when the stream is one, else 0.
    ConsoleOutput(std::ostream& stream, int terminalColumns);
    // Ends the progress line shown.
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // A progress line; on a terminal it replaces the one shown.
    void Progress(std::string_view text);
    // What is under way, for a terminal only (it is replaced by what follows); elsewhere
    // nothing.
    void Transient(std::string_view text);
    // "foliomix-merge: <text>" on a line of its own; line breaks in `text` (an engine's
    // message may hold some) become spaces, so that a message is always one line.
    void Message(std::string_view text);
    // Ends the progress line shown on a terminal, if any: what follows starts a new line.
    void EndProgress();

  private:
    std::ostream& stream_;
    int columns_;
    // The width of the progress line shown on a terminal; 0 when none is.
    int shown_ = 0;
};

// How many terminal columns `text` (UTF-8) takes: East Asian wide characters two, others one.
[[nodiscard]] int DisplayColumns(std::string_view text);

}  // namespace foliomix::cli
