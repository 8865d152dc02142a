// Not a test: a benchmark that prints how long foliomix.exe takes from its start until Form1
// is shown, over several starts in an existing prefix.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "tests/windows/driver/app_session.h"
#include "tests/windows/driver/driver_case.h"
#include "tests/windows/driver/workspace.h"

namespace foliomix::driver {

DRIVER_CASE(bench_startup) {
    const Workspace work(L"bench_startup");
    constexpr int kStarts = 10;
    std::vector<double> millis;
    for (int i = 0; i < kStarts; ++i) {
        const auto start = std::chrono::steady_clock::now();
        AppSession app(work.Root(), {});
        const auto shown = std::chrono::steady_clock::now();
        millis.push_back(std::chrono::duration<double, std::milli>(shown - start).count());
        app.Close();
        app.WaitForExit();
    }
    std::sort(millis.begin(), millis.end());
    std::printf(
        "foliomix.exe start until Form1 is shown, %d starts: median %.0f ms, min %.0f ms, "
        "max %.0f ms\n",
        kStarts, millis[millis.size() / 2], millis.front(), millis.back());
}

}  // namespace foliomix::driver
