#include "deck_file.h"

#include <windows.h>

#include <memory>

#include "merge/com/utf8_text.h"

namespace standin {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle OpenFile(const std::wstring& path, DWORD access, DWORD disposition) {
    HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace

std::optional<std::wstring> FromUtf8(std::string_view bytes) {
    if (bytes.empty()) {
        return std::wstring();
    }
    const int length = static_cast<int>(bytes.size());
    const int size =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, text.data(), size);
    return text;
}

std::optional<std::vector<std::wstring>> ReadDeck(const std::wstring& path) {
    const UniqueHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    const std::optional<std::wstring> text = FromUtf8(bytes);
    if (!text) {
        return std::nullopt;
    }
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find(L'\n', start);
        if (end == std::wstring::npos) {
            end = text->size();
        }
        std::wstring line = text->substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    const std::optional<std::wstring> header = FromUtf8(kDeckHeader);
    if (lines.empty() || lines.front() != *header) {
        return std::nullopt;
    }
    lines.erase(lines.begin());
    return lines;
}

bool WriteDeck(const std::wstring& path, const std::vector<std::wstring>& slides) {
    const UniqueHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file) {
        return false;
    }
    std::string bytes(kDeckHeader);
    bytes += '\n';
    for (const std::wstring& slide : slides) {
        bytes += foliomix::com::Utf8(slide);
        bytes += '\n';
    }
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) != FALSE &&
           written == bytes.size();
}

}  // namespace standin
