// The command line's platform on Windows.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/console_platform.h"
#include "app/cli/utf16_stream_buffer.h"
#include "app/win32/win32_error.h"
#include "merge/com/utf8_text.h"

namespace foliomix::cli {
namespace {

struct LocalFreer {
    void operator()(LPWSTR* block) const { LocalFree(block); }
};

// Blanks the console's line from the cursor on. A line rewritten in place is blanked after its
// new text: how many cells a wide character takes depends on the console (one in some, two in
// others), so the blanks the program counts may fall short of what the last line left.
void ClearRestOfLine(HANDLE console) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(console, &info) == FALSE) {
        return;
    }
    const int cells = info.dwSize.X - info.dwCursorPosition.X;
    DWORD blanked = 0;
    if (cells > 0) {
        FillConsoleOutputCharacterW(console, L' ', static_cast<DWORD>(cells), info.dwCursorPosition,
                                    &blanked);
    }
}

// Standard output or error on a console, written as UTF-16, for as long as it lives; a stream
// that goes to a pipe or a file is left as it is.
class ConsoleStream {
  public:
    ConsoleStream(std::ostream& stream, DWORD which) : stream_(stream) {
        const HANDLE handle = GetStdHandle(which);
        DWORD mode = 0;
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
            GetConsoleMode(handle, &mode) == FALSE) {
            return;
        }
        stream_.flush();
        buffer_ = std::make_unique<Utf16StreamBuffer>([handle](std::wstring_view text) {
            const bool rewritesLine = text.find(L'\r') != std::wstring_view::npos;
            while (!text.empty()) {
                DWORD written = 0;
                const auto size = static_cast<DWORD>(std::min<std::size_t>(text.size(), 16384));
                if (WriteConsoleW(handle, text.data(), size, &written, nullptr) == FALSE ||
                    written == 0) {
                    return false;
                }
                text.remove_prefix(written);
            }
            if (rewritesLine) {
                ClearRestOfLine(handle);
            }
            return true;
        });
        previous_ = stream_.rdbuf(buffer_.get());
    }
    ~ConsoleStream() {
        if (buffer_) {
            stream_.flush();
            stream_.rdbuf(previous_);
        }
    }
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;

  private:
    std::ostream& stream_;
    std::unique_ptr<Utf16StreamBuffer> buffer_;
    std::streambuf* previous_ = nullptr;
};

}  // namespace

std::vector<std::string> Utf8Arguments(int /*argc*/, char* /*argv*/[]) {
    // The C runtime's argv is in the ANSI code page, which loses the names of other scripts:
    // the command line is read again as the UTF-16 it is.
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> arguments(
        CommandLineToArgvW(GetCommandLineW(), &count));
    if (!arguments) {
        win32::ThrowLastWin32Error("cannot read the command line");
    }
    std::vector<std::string> utf8;
    for (int i = 1; i < count; ++i) {
        utf8.push_back(com::Utf8(arguments.get()[i]));
    }
    return utf8;
}

int StandardErrorTerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) == FALSE) {
        return 0;
    }
    return info.srWindow.Right - info.srWindow.Left + 1;
}

struct ConsoleText::Streams {
    ConsoleStream output{std::cout, STD_OUTPUT_HANDLE};
    ConsoleStream error{std::cerr, STD_ERROR_HANDLE};
};

ConsoleText::ConsoleText() : streams_(std::make_unique<Streams>()) {}

ConsoleText::~ConsoleText() = default;

}  // namespace foliomix::cli
