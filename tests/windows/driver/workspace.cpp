#include "tests/windows/driver/workspace.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/windows/driver/check.h"

namespace foliomix::driver {
namespace {

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

}  // namespace

Workspace::Workspace(std::wstring_view caseName) : root_(L"C:\\foliomix-e2e\\") {
    root_ += caseName;
    std::error_code error;
    std::filesystem::remove_all(root_, error);
    std::filesystem::create_directories(root_);
}

std::wstring Workspace::Folder(std::wstring_view relative) const {
    std::wstring folder = root_ + L"\\" + std::wstring(relative);
    std::filesystem::create_directories(folder);
    return folder;
}

std::wstring Workspace::WriteDeck(const std::wstring& folder, std::wstring_view name,
                                  const std::vector<std::wstring>& slides) const {
    const std::wstring path = folder + L"\\" + std::wstring(name);
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << "FOLIOMIX-STANDIN-DECK\n";
    for (const std::wstring& slide : slides) {
        out << Utf8(slide) << "\n";
    }
    if (!out) {
        throw DriverError("cannot write " + Utf8(path));
    }
    return path;
}

std::vector<std::wstring> Workspace::LogLines() const { return ReadLines(LogPath()); }

std::vector<std::wstring> ReadLines(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::vector<std::wstring> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(FromUtf8(line));
    }
    return lines;
}

std::optional<std::vector<std::wstring>> ReadDeck(const std::wstring& path) {
    if (!FileExists(path)) {
        return std::nullopt;
    }
    std::vector<std::wstring> lines = ReadLines(path);
    // The header may carry the slide size, a slide line its design after a tab.
    if (lines.empty() || lines.front().rfind(L"FOLIOMIX-STANDIN-DECK", 0) != 0) {
        return std::nullopt;
    }
    lines.erase(lines.begin());
    for (std::wstring& line : lines) {
        line = line.substr(0, line.find(L'\t'));
    }
    return lines;
}

bool FileExists(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace foliomix::driver
