// A stream buffer that takes UTF-8 and hands it on as UTF-16, for a Windows console: WriteConsoleW
// shows UTF-16 text as it is, whatever the console's code page, where the bytes of std::cerr
// would be read in that code page. Only whole characters are handed on: a character whose bytes
// come in two writes waits for the rest.
#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace foliomix::cli {

class Utf16StreamBuffer final : public std::streambuf {
  public:
    // Writes the text it is given; false when it could not.
    using Sink = std::function<bool(std::wstring_view)>;

    explicit Utf16StreamBuffer(Sink sink);
    // Hands on what is whole.
    ~Utf16StreamBuffer() override;
    Utf16StreamBuffer(const Utf16StreamBuffer&) = delete;
    Utf16StreamBuffer& operator=(const Utf16StreamBuffer&) = delete;

  protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    // Hands on every whole character held (a flush of the stream).
    int sync() override;

  private:
    Sink sink_;
    std::string held_;
};

}  // namespace foliomix::cli
