#include "app/cli/utf16_stream_buffer.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace foliomix::cli {
namespace {

// How long `bytes` is up to the end of its last whole character: a sequence that the end cuts
// short is left out. A byte that starts no valid sequence counts as whole (it is shown as the
// replacement character).
std::size_t WholeLength(std::string_view bytes) {
    const std::size_t lookBack = std::min<std::size_t>(bytes.size(), 3);
    for (std::size_t back = 1; back <= lookBack; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0U) == 0x80U) {
            continue;  // a continuation byte: its lead comes before
        }
        std::size_t length = 1;
        if (byte >= 0xF0U) {
            length = 4;
        } else if (byte >= 0xE0U) {
            length = 3;
        } else if (byte >= 0xC0U) {
            length = 2;
        }
        return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

std::wstring Wide(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, text.data(), size);
    return text;
}

}  // namespace

Utf16StreamBuffer::Utf16StreamBuffer(Sink sink) : sink_(std::move(sink)) {}

Utf16StreamBuffer::~Utf16StreamBuffer() { sync(); }

Utf16StreamBuffer::int_type Utf16StreamBuffer::overflow(int_type byte) {
    if (!traits_type::eq_int_type(byte, traits_type::eof())) {
        held_.push_back(traits_type::to_char_type(byte));
    }
    return traits_type::not_eof(byte);
}

std::streamsize Utf16StreamBuffer::xsputn(const char* bytes, std::streamsize count) {
    held_.append(bytes, static_cast<std::size_t>(count));
    return count;
}

int Utf16StreamBuffer::sync() {
    const std::size_t whole = WholeLength(held_);
    if (whole == 0) {
        return 0;
    }
    const std::wstring text = Wide(std::string_view(held_).substr(0, whole));
    held_.erase(0, whole);
    return sink_(text) ? 0 : -1;
}

}  // namespace foliomix::cli
