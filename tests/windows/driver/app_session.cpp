#include "tests/windows/driver/app_session.h"

#include <commctrl.h>

#include <stdexcept>

#include "app/win32/main_window_win32.h"
#include "tests/windows/driver/check.h"
#include "tests/windows/driver/remote_buffer.h"

namespace foliomix::driver {
namespace {

struct FindForm {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindFormOfProcess(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FindForm*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (processId == search->processId && std::wstring(className) == win32::kForm1ClassName &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\'));
}

AppSession::AppSession(const std::wstring& workingFolder, const Environment& environment) {
    for (const auto& [name, value] : environment) {
        SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
    std::wstring commandLine = L"\"" + ProgramFolder() + L"\\foliomix.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, workingFolder.c_str(), &startup, &process_);
    // The variables are for the program under test only.
    for (const auto& [name, value] : environment) {
        SetEnvironmentVariableW(name.c_str(), nullptr);
    }
    if (!started) {
        throw DriverError("cannot start foliomix.exe");
    }
    form_ = WaitFor("Form1 to be shown", [&] {
        FindForm search{process_.dwProcessId};
        EnumWindows(&FindFormOfProcess, reinterpret_cast<LPARAM>(&search));
        return search.found;
    });
}

AppSession::~AppSession() {
    if (Running()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND AppSession::Control(design::ControlId id) const {
    HWND control = GetDlgItem(form_, win32::ControlIdentifier(id));
    if (!control) {
        throw DriverError("Form1 has no control " + std::string(design::Control(id).name));
    }
    return control;
}

void AppSession::Click(design::ControlId button) const {
    PostMessageW(Control(button), BM_CLICK, 0, 0);
}

void AppSession::ClickAndWait(design::ControlId button) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Control(button), BM_CLICK, 0, 0, SMTO_NORMAL,
                             static_cast<UINT>(kPatience.count()), &result)) {
        throw DriverError("Form1 does not answer a click");
    }
}

bool AppSession::ClickIsIgnored(design::ControlId button) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(Control(button), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 3000, &result) !=
           0;
}

void AppSession::SelectRow(int row) const {
    HWND list = Control(design::ControlId::list);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    // The notification a click on the row sends to the window.
    SendMessageW(form_, WM_COMMAND,
                 MAKEWPARAM(win32::ControlIdentifier(design::ControlId::list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::vector<std::wstring> AppSession::Rows() const {
    HWND list = Control(design::ControlId::list);
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::vector<std::wstring> rows;
    for (int i = 0; i < count; ++i) {
        const auto row = static_cast<WPARAM>(i);
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1,
                          L'\0');
        const auto length =
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length < 0 ? 0 : static_cast<std::size_t>(length));
        rows.push_back(text);
    }
    return rows;
}

int AppSession::SelectedRow() const {
    return static_cast<int>(SendMessageW(Control(design::ControlId::list), LB_GETCURSEL, 0, 0));
}

bool AppSession::Enabled(design::ControlId id) const { return IsWindowEnabled(Control(id)) != 0; }

std::wstring AppSession::StatusText() const {
    HWND bar = Control(design::ControlId::sb);
    // In simple mode the bar's one text is read as part 0.
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0));
    RemoteBuffer buffer(process_.hProcess, (length + 1U) * sizeof(wchar_t));
    SendMessageW(bar, SB_GETTEXTW, 0, buffer.Address());
    return buffer.ReadText(length);
}

std::wstring AppSession::Caption() const {
    std::wstring text(256, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(form_, text.data(), 256)));
    return text;
}

HWND AppSession::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(process_.dwThreadId, &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

void AppSession::PressTab(bool shift) const {
    SetForegroundWindow(form_);
    std::vector<INPUT> keys;
    auto key = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        keys.push_back(input);
    };
    if (shift) {
        key(VK_SHIFT, false);
    }
    key(VK_TAB, false);
    key(VK_TAB, true);
    if (shift) {
        key(VK_SHIFT, true);
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

void AppSession::Settle() const {
    // A posted message queues up behind the earlier ones; the sent one after it is answered
    // only after the thread has looked at its queue again.
    PostMessageW(form_, WM_NULL, 0, 0);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(form_, WM_NULL, 0, 0, SMTO_NORMAL,
                             static_cast<UINT>(kPatience.count()), &result) &&
        IsWindow(form_)) {
        throw DriverError("Form1 does not answer");
    }
}

void AppSession::Close() const { PostMessageW(form_, WM_CLOSE, 0, 0); }

bool AppSession::Running() const {
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD AppSession::WaitForExit(milliseconds patience) {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(patience.count())) !=
        WAIT_OBJECT_0) {
        throw DriverError("foliomix.exe did not end");
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

}  // namespace foliomix::driver
