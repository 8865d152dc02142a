// UTF-8 handed on as UTF-16 for the console: whichever bytes each write and flush brings, only
// whole characters are handed on, and together they are the text.
#include "app/cli/utf16_stream_buffer.h"

#include <gtest/gtest.h>

#include <ostream>

namespace foliomix::cli {
namespace {

TEST(Utf16StreamBuffer, HandsOnWholeCharactersHoweverTheBytesAreSplit) {
    // One, two, three and four bytes a character; the last a surrogate pair in UTF-16.
    const std::string text = "a\xC3\xA9\xE7\xBB\x93\xF0\x9F\x98\x80z";
    const std::wstring expected = L"a\u00E9\u7ED3\U0001F600z";
    for (std::size_t split = 0; split <= text.size(); ++split) {
        SCOPED_TRACE(split);
        std::vector<std::wstring> handed;
        {
            Utf16StreamBuffer buffer([&](std::wstring_view chunk) {
                handed.emplace_back(chunk);
                return true;
            });
            std::ostream stream(&buffer);
            stream << text.substr(0, split) << std::flush << text.substr(split) << std::flush;
        }
        std::wstring joined;
        for (const std::wstring& chunk : handed) {
            EXPECT_EQ(chunk.find(L'\uFFFD'), std::wstring::npos);
            joined += chunk;
        }
        EXPECT_EQ(joined, expected);
    }
}

}  // namespace
}  // namespace foliomix::cli
