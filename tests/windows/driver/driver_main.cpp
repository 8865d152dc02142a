// driver.exe <case> [--out <folder>]: runs one end-to-end case against foliomix.exe, which
// stands beside it; prints every failed check and ends with 0 only when all held.
#include <windows.h>

#include <cstdio>
#include <exception>
#include <map>
#include <string>

#include "tests/windows/driver/check.h"
#include "tests/windows/driver/driver_case.h"

namespace foliomix::driver {
namespace {

std::map<std::string, CaseFunction>& Registry() {
    static std::map<std::string, CaseFunction> cases;
    return cases;
}

std::wstring& OutputFolderStorage() {
    static std::wstring folder;
    return folder;
}

}  // namespace

CaseRegistrar::CaseRegistrar(const char* name, CaseFunction run) { Registry()[name] = run; }

const std::wstring& OutputFolder() { return OutputFolderStorage(); }

}  // namespace foliomix::driver

int wmain(int argc, wchar_t** argv) {
    using namespace foliomix::driver;
    if (argc < 2) {
        std::printf("usage: driver.exe <case> [--out <folder>]\ncases:\n");
        for (const auto& [name, run] : Registry()) {
            std::printf("  %s\n", name.c_str());
        }
        return 2;
    }
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--out") {
            OutputFolderStorage() = argv[i + 1];
        }
    }
    const std::string name = Utf8(argv[1]);
    const auto found = Registry().find(name);
    if (found == Registry().end()) {
        std::printf("no case named %s\n", name.c_str());
        return 2;
    }
    try {
        found->second();
    } catch (const std::exception& error) {
        ReportFailure(__FILE__, __LINE__, std::string("case ended early: ") + error.what());
    }
    std::printf("%s: %s (%d failed checks)\n", name.c_str(), FailureCount() ? "FAILED" : "passed",
                FailureCount());
    return FailureCount() ? 1 : 0;
}
