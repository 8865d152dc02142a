#include "tests/windows/com/standin_test.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace foliomix::com::testing {
namespace {

constexpr const wchar_t* kControls[] = {
    L"FOLIOMIX_STANDIN_LOG",
    L"FOLIOMIX_STANDIN_FAIL",
    L"FOLIOMIX_STANDIN_USER_PRESENTATION",
    L"FOLIOMIX_STANDIN_DISPLAY_ALERTS",
    L"FOLIOMIX_STANDIN_INSERT_DELAY_MS",
    L"FOLIOMIX_STANDIN_ALERT_LEVELS",
    L"FOLIOMIX_STANDIN_OUT_OF_APARTMENT",
    L"FOLIOMIX_STANDIN_BLOCK",
    L"FOLIOMIX_STANDIN_BLOCK_MS",
};

constexpr CLSID kGlobalClass = {
    0x91493443, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}};

// Loads the stand-in through COM, as the adapter will, and resets it to a new process state.
void ResetStandin() {
    ComPtr<IDispatch> global;
    const HRESULT hr = CoCreateInstance(kGlobalClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                        reinterpret_cast<void**>(global.ReleaseAndGetAddressOf()));
    ASSERT_TRUE(SUCCEEDED(hr)) << "the stand-in is not registered: 0x" << std::hex << hr;
    HMODULE module = GetModuleHandleW(L"foliomix_standin.dll");
    ASSERT_NE(module, nullptr);
    using Reset = void(WINAPI*)();
    const auto reset = reinterpret_cast<Reset>(
        reinterpret_cast<void*>(GetProcAddress(module, "FoliomixStandinReset")));
    ASSERT_NE(reset, nullptr);
    reset();
}

}  // namespace

void StandinTest::SetUp() {
    for (const wchar_t* name : kControls) {
        SetEnvironmentVariableW(name, nullptr);
    }
    apartment.emplace(callLimitMs);
    ResetStandin();
    if (HasFatalFailure()) {
        return;
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::wstring wideName(name.begin(), name.end());
    for (wchar_t& c : wideName) {
        if (c == L'/' || c == L'\\') {
            c = L'_';
        }
    }
    folder = std::filesystem::temp_directory_path() / (L"合并测试-" + wideName);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    logFile = folder / L"standin.log";
    Control(L"FOLIOMIX_STANDIN_LOG", logFile.wstring());
}

StandinTest::~StandinTest() { apartment.reset(); }

void StandinTest::TearDown() {
    for (const wchar_t* name : kControls) {
        SetEnvironmentVariableW(name, nullptr);
    }
    std::error_code ignored;
    if (!HasFailure()) {
        std::filesystem::remove_all(folder, ignored);
    }
}

void StandinTest::RestartStandin() { ResetStandin(); }

void StandinTest::Control(const wchar_t* name, std::wstring_view value) {
    SetEnvironmentVariableW(name, std::wstring(value).c_str());
}

std::wstring StandinTest::PathOf(std::wstring_view name) const { return (folder / name).wstring(); }

std::wstring StandinTest::MakeDeck(std::wstring_view name, const std::vector<std::string>& slides,
                                   std::string_view size) const {
    const std::wstring path = PathOf(name);
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    file << "FOLIOMIX-STANDIN-DECK";
    if (!size.empty()) {
        file << " " << size;
    }
    file << "\n";
    for (const std::string& slide : slides) {
        file << slide << "\n";
    }
    return path;
}

std::optional<std::vector<std::string>> StandinTest::ReadDeck(const std::wstring& path) {
    std::vector<std::string> lines = ReadDeckLines(path);
    constexpr std::string_view kHeader = "FOLIOMIX-STANDIN-DECK";
    if (lines.empty() || lines.front().rfind(kHeader, 0) != 0) {
        return std::nullopt;
    }
    lines.erase(lines.begin());
    for (std::string& line : lines) {
        line = line.substr(0, line.find('\t'));  // the title without its design
    }
    return lines;
}

std::vector<std::string> StandinTest::ReadDeckLines(const std::wstring& path) {
    std::ifstream file{std::filesystem::path(path), std::ios::binary};
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> StandinTest::Log() const {
    std::ifstream file{logFile, std::ios::binary};
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> StandinTest::Since() const {
    const std::vector<std::string> lines = Log();
    return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(mark_, lines.size())),
            lines.end()};
}

LateBound StandinTest::FreshApplication() const {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(L"PowerPoint.application", &clsid), S_OK);
    ComPtr<IDispatch> application;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(application.ReleaseAndGetAddressOf())),
              S_OK);
    return LateBound(application, L"Application");
}

long StandinTest::EnginePresentationCount() const {
    return ResultLong(FreshApplication().Child(L"Presentations").Get(L"Count"), L"Count");
}

bool StandinTest::EngineDisplayAlerts() const {
    const _variant_t alerts = FreshApplication().Get(L"DisplayAlerts");
    constexpr long kAlertsAll = 2;  // when the engine types them as the alert level
    return (V_VT(&alerts) == VT_BOOL && V_BOOL(&alerts) != VARIANT_FALSE) ||
           (V_VT(&alerts) == VT_I4 && V_I4(&alerts) == kAlertsAll);
}

}  // namespace foliomix::com::testing
