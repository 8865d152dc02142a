// The staged save's file system steps on Windows.
#include <windows.h>

#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "merge/staging/staging_platform.h"

namespace foliomix::staging {
namespace {

namespace fs = std::filesystem;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The process id that `name` carries right after `prefix`, ended by "-"; nothing for any other
// name.
std::optional<DWORD> ProcessIdAfter(std::wstring_view name, std::string_view prefix) {
    std::string start;  // the name's ASCII start: all a prefix, an id and "-" can be
    for (const wchar_t c : name) {
        if (c > 0x7F) {
            break;
        }
        start += static_cast<char>(c);
    }
    std::string_view rest(start);
    if (!rest.starts_with(prefix)) {
        return std::nullopt;
    }
    rest.remove_prefix(prefix.size());
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

}  // namespace

int CurrentProcessId() { return static_cast<int>(GetCurrentProcessId()); }

void RemoveFoldersOfEndedRuns(const fs::path& folder, std::string_view prefix) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const auto pid = ProcessIdAfter(entry.path().filename().wstring(), prefix);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!pid ||
            GetFileAttributesExW(entry.path().c_str(), GetFileExInfoStandard, &data) == FALSE) {
            continue;
        }
        // Only a real folder: a link under such a name is not ours to follow.
        const bool realFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        if (realFolder && RunEnded(*pid, data.ftCreationTime)) {
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
    constexpr const char* what = "cannot rename the result onto its name";
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        // The portable code the caller tells this case by.
        throw std::system_error(std::make_error_code(std::errc::file_exists), what);
    }
    throw std::system_error(static_cast<int>(error), std::system_category(), what);
}

}  // namespace foliomix::staging
