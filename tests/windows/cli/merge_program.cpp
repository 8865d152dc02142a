#include "tests/windows/cli/merge_program.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <stdexcept>
#include <thread>

#include "merge/com/utf8_text.h"

namespace foliomix::cli::testing {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct EnvironmentFreer {
    void operator()(wchar_t* block) const { FreeEnvironmentStringsW(block); }
};

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": error " + std::to_string(GetLastError()));
}

BOOL WINAPI LetControlPass(DWORD event) { return event == CTRL_C_EVENT ? TRUE : FALSE; }

// The console the tests' programs share: the test's own, new (Wine starts a program from a Unix
// shell without one that can take Ctrl-C). Made at the first use.
void EnsureConsole() {
    static const bool made = [] {
        SetConsoleCtrlHandler(&LetControlPass, TRUE);
        FreeConsole();
        return AllocConsole() != FALSE;
    }();
    if (!made) {
        Fail("AllocConsole");
    }
}

HANDLE ConsoleScreen() {
    EnsureConsole();
    static const UniqueHandle screen(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
    if (screen.get() == INVALID_HANDLE_VALUE) {
        Fail("CONOUT$");
    }
    return screen.get();
}

// One argument as CommandLineToArgvW and the C runtime read it back.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted.push_back(c);
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The test's environment without the stand-in's variables, with the case's added.
std::wstring EnvironmentBlock(const Environment& added) {
    std::wstring block;
    const std::unique_ptr<wchar_t, EnvironmentFreer> own(GetEnvironmentStringsW());
    for (const wchar_t* entry = own.get(); *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring_view text(entry);
        const std::wstring_view name = text.substr(0, text.find(L'=', 1));
        const bool replaced = std::any_of(added.begin(), added.end(), [&](const auto& variable) {
            return SameName(variable.first, name);
        });
        if (!replaced && !name.starts_with(L"FOLIOMIX_STANDIN_")) {
            block.append(text).push_back(L'\0');
        }
    }
    for (const auto& [name, value] : added) {
        block.append(name).append(L"=").append(value).push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"foliomix-merge.exe";
}

// Reads a pipe to its end on a thread of its own, so that a full pipe never holds the program
// up.
class PipeReader {
  public:
    explicit PipeReader(UniqueHandle pipe)
        : pipe_(std::move(pipe)), thread_([this] {
              char buffer[4096];
              DWORD read = 0;
              while (ReadFile(pipe_.get(), buffer, sizeof buffer, &read, nullptr) != FALSE &&
                     read > 0) {
                  bytes_.append(buffer, read);
              }
          }) {}
    ~PipeReader() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    // Waits for the end of the pipe (every writer closed); CR LF as LF.
    std::string Text() {
        thread_.join();
        std::string text;
        for (std::size_t i = 0; i < bytes_.size(); ++i) {
            if (!(bytes_[i] == '\r' && i + 1 < bytes_.size() && bytes_[i + 1] == '\n')) {
                text.push_back(bytes_[i]);
            }
        }
        return text;
    }

  private:
    UniqueHandle pipe_;
    std::string bytes_;
    std::thread thread_;
};

// A pipe whose write end the program inherits.
std::pair<UniqueHandle, UniqueHandle> InheritedPipe() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (CreatePipe(&read, &write, &inherit, 0) == FALSE) {
        Fail("CreatePipe");
    }
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    return {UniqueHandle(read), UniqueHandle(write)};
}

}  // namespace

ProgramEnd RunMergeProgram(const ProgramStart& start, std::chrono::milliseconds patience) {
    EnsureConsole();
    std::wstring commandLine = Quoted(ProgramPath());
    for (const std::wstring& argument : start.arguments) {
        commandLine.append(L" ").append(Quoted(argument));
    }
    std::wstring environment = EnvironmentBlock(start.environment);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::unique_ptr<PipeReader> output;
    std::unique_ptr<PipeReader> error;
    UniqueHandle input;
    std::pair<UniqueHandle, UniqueHandle> outputPipe;
    std::pair<UniqueHandle, UniqueHandle> errorPipe;
    if (!start.onConsole) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        input.reset(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                OPEN_EXISTING, 0, nullptr));
        outputPipe = InheritedPipe();
        errorPipe = InheritedPipe();
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.get();
        startup.hStdOutput = outputPipe.second.get();
        startup.hStdError = errorPipe.second.get();
    }
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr,
                       start.onConsole ? FALSE : TRUE, CREATE_UNICODE_ENVIRONMENT,
                       environment.data(), start.folder.c_str(), &startup, &process) == FALSE) {
        Fail("CreateProcessW " + com::Utf8(commandLine));
    }
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    // Only the program holds the write ends now: the pipes end when it does.
    outputPipe.second.reset();
    errorPipe.second.reset();
    input.reset();
    if (!start.onConsole) {
        output = std::make_unique<PipeReader>(std::move(outputPipe.first));
        error = std::make_unique<PipeReader>(std::move(errorPipe.first));
    }

    ProgramEnd end;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (WaitForSingleObject(processHandle.get(), 25) == WAIT_TIMEOUT) {
        if (std::chrono::steady_clock::now() > deadline) {
            TerminateProcess(processHandle.get(), 99);
            WaitForSingleObject(processHandle.get(), INFINITE);
            throw std::runtime_error("foliomix-merge.exe did not end in time");
        }
        if (!end.interrupted && start.interruptWhen && start.interruptWhen()) {
            if (GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) == FALSE) {
                Fail("GenerateConsoleCtrlEvent");
            }
            end.interrupted = true;
        }
    }
    GetExitCodeProcess(processHandle.get(), &end.exitCode);
    if (output) {
        end.output = output->Text();
        end.error = error->Text();
    }
    return end;
}

void TestConsole::Clear() {
    const HANDLE screen = ConsoleScreen();
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(screen, &info) == FALSE) {
        Fail("GetConsoleScreenBufferInfo");
    }
    DWORD done = 0;
    FillConsoleOutputCharacterW(
        screen, L' ', static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y),
        COORD{0, 0}, &done);
    SetConsoleCursorPosition(screen, COORD{0, 0});
}

std::vector<std::string> TestConsole::Lines() {
    const HANDLE screen = ConsoleScreen();
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (GetConsoleScreenBufferInfo(screen, &info) == FALSE) {
        Fail("GetConsoleScreenBufferInfo");
    }
    std::vector<std::string> lines;
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row) {
        std::wstring line(static_cast<std::size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, line.data(), static_cast<DWORD>(line.size()),
                                    COORD{0, row}, &read);
        line.resize(read);
        line.erase(line.find_last_not_of(L' ') + 1);
        lines.push_back(com::Utf8(line));
    }
    return lines;
}

}  // namespace foliomix::cli::testing
