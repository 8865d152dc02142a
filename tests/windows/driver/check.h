// The driver's checks: each failed check is reported with its place and both values, and the
// case fails; a DriverError ends the case at once (a window that never appeared, say).
#pragma once

#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "merge/com/utf8_text.h"

namespace foliomix::driver {

class DriverError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// UTF-8 for the test output.
using com::Utf8;

void ReportFailure(const char* file, int line, const std::string& what);
[[nodiscard]] int FailureCount();

inline std::string Show(const std::wstring& value) {
    std::string out(1, '"');
    out.append(Utf8(value)).push_back('"');
    return out;
}
inline std::string Show(const wchar_t* value) { return Show(std::wstring(value)); }
inline std::string Show(bool value) { return value ? "true" : "false"; }
inline std::string Show(const std::vector<std::wstring>& values) {
    std::string out(1, '{');
    for (const std::wstring& value : values) {
        if (out.size() > 1) {
            out.append(", ");
        }
        out.append(Show(value));
    }
    out.push_back('}');
    return out;
}
template <typename T>
std::string Show(const T& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

template <typename A, typename B>
void CheckEqual(const A& actual, const B& expected, const char* actualText, const char* file,
                int line) {
    if (!(actual == expected)) {
        std::string message(actualText);
        message.append(" is ").append(Show(actual)).append(", expected ").append(Show(expected));
        ReportFailure(file, line, message);
    }
}

}  // namespace foliomix::driver

#define CHECK_EQ(actual, expected) \
    ::foliomix::driver::CheckEqual((actual), (expected), #actual, __FILE__, __LINE__)
#define CHECK(condition)                                                                     \
    do {                                                                                     \
        if (!(condition)) ::foliomix::driver::ReportFailure(__FILE__, __LINE__, #condition); \
    } while (false)
