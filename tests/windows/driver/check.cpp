#include "tests/windows/driver/check.h"

#include <windows.h>

namespace foliomix::driver {
namespace {
int failures = 0;
}

void ReportFailure(const char* file, int line, const std::string& what) {
    ++failures;
    std::fprintf(stdout, "FAILED %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stdout);
}

int FailureCount() { return failures; }

}  // namespace foliomix::driver
