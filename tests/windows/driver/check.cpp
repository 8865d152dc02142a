#include "tests/windows/driver/check.h"

#include <windows.h>

namespace foliomix::driver {
namespace {
int failures = 0;
}

std::string Utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

void ReportFailure(const char* file, int line, const std::string& what) {
    ++failures;
    std::fprintf(stdout, "FAILED %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

int FailureCount() { return failures; }

}  // namespace foliomix::driver
