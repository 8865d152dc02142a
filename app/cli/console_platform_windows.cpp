// The command line's platform on Windows.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/cli/console_platform.h"
#include "app/cli/staged_output.h"
#include "app/cli/utf16_stream_buffer.h"
#include "app/win32/win32_error.h"
#include "merge/com/utf8_text.h"

namespace foliomix::cli {
namespace {

namespace fs = std::filesystem;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct LocalFreer {
    void operator()(LPWSTR* block) const { LocalFree(block); }
};

// The process id that a staging folder's name carries, "<prefix><pid>-…"; nothing for any other
// name.
std::optional<DWORD> StagingProcessId(std::wstring_view name) {
    const std::wstring prefix(kStagingPrefix.begin(), kStagingPrefix.end());
    if (!name.starts_with(prefix)) {
        return std::nullopt;
    }
    const std::string rest = com::Utf8(name.substr(prefix.size()));
    DWORD pid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (error != std::errc() || pid == 0 || end == rest.data() + rest.size() || *end != '-') {
        return std::nullopt;
    }
    return pid;
}

// Whether the run that made a folder at `made` has ended: no process has its id, or the one that
// has it now started after the folder was made (process ids are given out again). A process we
// may not look at (another user's) counts as running.
bool RunEnded(DWORD pid, const FILETIME& made) {
    if (pid == GetCurrentProcessId()) {
        return false;
    }
    const UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
    if (!process) {
        return GetLastError() == ERROR_INVALID_PARAMETER;
    }
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
        return true;
    }
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    return GetProcessTimes(process.get(), &created, &exited, &kernel, &user) != FALSE &&
           CompareFileTime(&created, &made) > 0;
}

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

int CurrentProcessId() { return static_cast<int>(GetCurrentProcessId()); }

void RemoveStagingOfEndedRuns(const fs::path& folder) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const auto pid = StagingProcessId(entry.path().filename().wstring());
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!pid ||
            GetFileAttributesExW(entry.path().c_str(), GetFileExInfoStandard, &data) == FALSE) {
            continue;
        }
        // Only a real folder: a link under such a name is not ours to follow.
        const bool folderOfOurs = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                  (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        if (folderOfOurs && RunEnded(*pid, data.ftCreationTime)) {
            std::error_code ignored;
            fs::remove_all(entry.path(), ignored);
        }
    }
}

void HideFolder(const fs::path& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(folder.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
}

void RenameOnto(const fs::path& from, const fs::path& to, bool replace) {
    if (MoveFileExW(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != FALSE) {
        return;
    }
    const DWORD error = GetLastError();
    constexpr std::string_view what = "cannot rename the result onto its name";
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        // The portable code the caller tells this case by, with the system's own in the text.
        throw std::system_error(std::make_error_code(std::errc::file_exists),
                                win32::Win32ErrorText(what, error));
    }
    win32::ThrowWin32Error(what, error);
}

struct ConsoleText::Streams {
    ConsoleStream output{std::cout, STD_OUTPUT_HANDLE};
    ConsoleStream error{std::cerr, STD_ERROR_HANDLE};
};

ConsoleText::ConsoleText() : streams_(std::make_unique<Streams>()) {}

ConsoleText::~ConsoleText() = default;

}  // namespace foliomix::cli
