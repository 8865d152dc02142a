// foliomix-merge.exe as a user starts it from a console or a script: in a folder of the test's,
// with its arguments and the stand-in engine's control variables, its standard output and error
// captured (or shown on the test's console), and Ctrl-C typed at that console when the test says.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace foliomix::cli::testing {

// Variables set for the program; every other FOLIOMIX_STANDIN_ variable of the test's own
// environment is left out, so that nothing but the case's settings reaches the stand-in.
using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

struct ProgramStart {
    std::vector<std::wstring> arguments;
    std::wstring folder;  // the working folder
    Environment environment;
    // Standard output and error go to the test's console (TestConsole) instead of being captured.
    bool onConsole = false;
    // Asked while the program runs: once it is true, Ctrl-C is typed at the test's console.
    std::function<bool()> interruptWhen;
};

struct ProgramEnd {
    DWORD exitCode = 0;
    // UTF-8 as written, each CR LF read as LF.
    std::string output;
    std::string error;
    bool interrupted = false;  // Ctrl-C was typed
};

// Runs foliomix-merge.exe, which stands beside the test program, to its end. Throws
// std::runtime_error when it cannot be started or has not ended within `patience` (it is ended
// then).
[[nodiscard]] ProgramEnd RunMergeProgram(
    const ProgramStart& start, std::chrono::milliseconds patience = std::chrono::seconds(60));

// The test process's own console, made once, which the programs it starts share: Ctrl-C typed at
// it reaches them (the test itself lets it pass), and what they show on it can be read back.
class TestConsole {
  public:
    // Empties the screen and puts the cursor at its start.
    static void Clear();
    // The screen's lines from the top down to the cursor's line, trailing blanks removed, UTF-8.
    [[nodiscard]] static std::vector<std::string> Lines();
};

}  // namespace foliomix::cli::testing
