// The Windows command line's engine in this process, with the stand-in engine living in another
// apartment, so that every call waits in COM's modal loop as it waits for PowerPoint: a stop
// requested from another thread while a call is pending (as the console's control handler
// requests it) cancels that call; without a stop the same call is waited for to its end.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/cli/engine_choice.h"
#include "merge/com/late_bound.h"
#include "tests/windows/cli/case_folder.h"

namespace foliomix::cli {
namespace {

struct Case {
    const char* name;
    bool stop;
};

void PrintTo(const Case& tested, std::ostream* out) { *out << tested.name; }

class EngineStop : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"FOLIOMIX_STANDIN_LOG", folder.LogPath().c_str());
        SetEnvironmentVariableW(L"FOLIOMIX_STANDIN_OUT_OF_APARTMENT", L"1");
        SetEnvironmentVariableW(L"FOLIOMIX_STANDIN_BLOCK", L"Slides.Count.get");
        SetEnvironmentVariableW(L"FOLIOMIX_STANDIN_BLOCK_MS", L"1500");
    }
    void TearDown() override {
        for (const wchar_t* name : {L"FOLIOMIX_STANDIN_LOG", L"FOLIOMIX_STANDIN_OUT_OF_APARTMENT",
                                    L"FOLIOMIX_STANDIN_BLOCK", L"FOLIOMIX_STANDIN_BLOCK_MS"}) {
            SetEnvironmentVariableW(name, nullptr);
        }
    }

    [[nodiscard]] bool Blocked() const {
        for (const std::string& line : folder.Log()) {
            if (line.starts_with("Engine.Blocked(")) {
                return true;
            }
        }
        return false;
    }

    testing::CaseFolder folder;
};

TEST_P(EngineStop, APendingCallIsCancelledByAStopFromAnotherThread) {
    StopRequest stop;
    const EngineChoice choice = PlatformEngine();
    const std::unique_ptr<ConsoleEngine> engine = choice.make(stop, {});
    const auto application = engine->Server().CreateApplication();
    auto presentation = application->AddPresentation();
    std::atomic<bool> done{false};
    std::thread handler([&] {
        while (GetParam().stop && !done && !Blocked()) {
            Sleep(10);
        }
        if (GetParam().stop) {
            stop.Request();
        }
    });
    HRESULT failure = S_OK;
    try {
        EXPECT_EQ(presentation->SlideCount(), 0);
    } catch (const com::CallError& error) {
        failure = error.Code();
    }
    done = true;
    handler.join();

    EXPECT_TRUE(Blocked());
    EXPECT_EQ(failure, GetParam().stop ? RPC_E_CALL_CANCELED : S_OK);
    presentation.reset();
    application->Quit();
}

INSTANTIATE_TEST_SUITE_P(Stops, EngineStop,
                         ::testing::Values(Case{"StopRequested", true}, Case{"NoStop", false}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace foliomix::cli
