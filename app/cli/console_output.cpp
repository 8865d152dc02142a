#include "app/cli/console_output.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "app/cli/command_line.h"

namespace foliomix::cli {
namespace {

// The code points that terminals draw two columns wide: the East Asian scripts and symbols.
constexpr std::array<std::pair<char32_t, char32_t>, 14> kWide{{
    {0x1100, 0x115F},
    {0x2E80, 0x303E},
    {0x3041, 0x33FF},
    {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF},
    {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F},
    {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},
    {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF},
    {0x20000, 0x3FFFD},
}};

// The length in bytes of the UTF-8 sequence that starts with `lead`; a stray byte counts as one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

// The width of the character at the start of `text`, and its length in bytes.
std::pair<int, std::size_t> NextCharacter(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = std::min(SequenceLength(lead), text.size());
    if (length == 1) {
        return {1, 1};
    }
    char32_t code = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3Fu);
    }
    const bool wide = std::any_of(kWide.begin(), kWide.end(), [code](const auto& range) {
        return code >= range.first && code <= range.second;
    });
    return {wide ? 2 : 1, length};
}

// `text` cut to at most `columns` columns, at a character's boundary; and its width.
std::pair<std::string_view, int> Clipped(std::string_view text, int columns) {
    int width = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto [characterWidth, length] = NextCharacter(text.substr(at));
        if (width + characterWidth > columns) {
            break;
        }
        width += characterWidth;
        at += length;
    }
    return {text.substr(0, at), width};
}

}  // namespace

int DisplayColumns(std::string_view text) {
    return Clipped(text, static_cast<int>(text.size()) * 2).second;
}

ConsoleOutput::ConsoleOutput(std::ostream& stream, int terminalColumns)
    : stream_(stream), columns_(terminalColumns) {}

ConsoleOutput::~ConsoleOutput() { EndProgress(); }

void ConsoleOutput::Progress(std::string_view text) {
    if (columns_ <= 0) {
        stream_ << text << '\n' << std::flush;
        return;
    }
    // The last column stays free: a line that fills it makes some terminals wrap.
    const auto [shown, width] = Clipped(text, std::max(columns_ - 1, 1));
    stream_ << '\r' << shown
            << std::string(static_cast<std::size_t>(std::max(shown_ - width, 0)), ' ')
            << std::flush;
    shown_ = width;
}

void ConsoleOutput::Transient(std::string_view text) {
    if (columns_ > 0) {
        Progress(text);
    }
}

void ConsoleOutput::EndProgress() {
    if (shown_ > 0) {
        stream_ << '\n' << std::flush;
        shown_ = 0;
    }
}

void ConsoleOutput::Message(std::string_view text) {
    EndProgress();
    std::string line = std::string(kProgramName) + ": ";
    for (const char c : text) {
        line += (c == '\n' || c == '\r') ? ' ' : c;
    }
    // Trailing line breaks of an engine's message would leave trailing blanks.
    line.erase(line.find_last_not_of(' ') + 1);
    stream_ << line << '\n' << std::flush;
}

}  // namespace foliomix::cli
