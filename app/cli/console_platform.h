// What the command line needs of its platform, apart from the engine (engine_choice.h) and the
// signals (stop_signals.h). Each platform implements it in a file of its own.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace foliomix::cli {

// The program's arguments as UTF-8, its own name left out.
[[nodiscard]] std::vector<std::string> Utf8Arguments(int argc, char* argv[]);

// The width of the terminal that the standard error shows on; 0 when it is no terminal.
[[nodiscard]] int StandardErrorTerminalColumns();

// While it lives, the standard output and error show the program's UTF-8 text as such where the
// platform's console would read the bytes in a code page of its own (Windows); elsewhere, and on a
// pipe or in a file, the bytes go out as they are.
class ConsoleText {
  public:
    ConsoleText();
    // Hands on what is still held and puts the streams back as they were.
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

  private:
    struct Streams;
    std::unique_ptr<Streams> streams_;
};

}  // namespace foliomix::cli
