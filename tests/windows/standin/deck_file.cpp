#include "deck_file.h"

#include <windows.h>

#include <cwchar>
#include <memory>
#include <utility>

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

// "<width>x<height>" with both numbers positive; nothing otherwise.
std::optional<std::pair<float, float>> ParseSize(const std::wstring& text) {
    wchar_t* end = nullptr;
    const float width = std::wcstof(text.c_str(), &end);
    if (end == text.c_str() || *end != L'x') {
        return std::nullopt;
    }
    const wchar_t* heightText = end + 1;
    const float height = std::wcstof(heightText, &end);
    if (end == heightText || *end != L'\0' || !(width > 0.0F) || !(height > 0.0F)) {
        return std::nullopt;
    }
    return std::pair{width, height};
}

std::wstring FormatSize(float value) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%g", static_cast<double>(value));
    return text;
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

std::optional<DeckContent> ReadDeck(const std::wstring& path) {
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
    const std::wstring header = *FromUtf8(kDeckHeader);
    if (lines.empty() || lines.front().compare(0, header.size(), header) != 0) {
        return std::nullopt;
    }
    DeckContent deck;
    const std::wstring rest = lines.front().substr(header.size());
    if (!rest.empty()) {
        const auto size = rest.front() == L' ' ? ParseSize(rest.substr(1)) : std::nullopt;
        if (!size) {
            return std::nullopt;
        }
        deck.width = size->first;
        deck.height = size->second;
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        DeckSlide slide;
        const std::size_t tab = lines[i].find(L'\t');
        slide.title = lines[i].substr(0, tab);
        if (tab != std::wstring::npos) {
            slide.design = lines[i].substr(tab + 1);
        }
        deck.slides.push_back(std::move(slide));
    }
    return deck;
}

bool WriteDeck(const std::wstring& path, const DeckContent& deck) {
    const UniqueHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file) {
        return false;
    }
    std::string bytes(kDeckHeader);
    bytes += foliomix::com::Utf8(L" " + FormatSize(deck.width) + L"x" + FormatSize(deck.height));
    bytes += '\n';
    for (const DeckSlide& slide : deck.slides) {
        bytes += foliomix::com::Utf8(slide.title + L"\t" + slide.design);
        bytes += '\n';
    }
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) != FALSE &&
           written == bytes.size();
}

}  // namespace standin
