// DisplayAlerts on an engine that types it as its alert level (1 none, 2 all) and refuses a
// Boolean: the adapter turns alerts off with the level instead, puts back exactly the level it
// read, and still reports every other failure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "tests/windows/com/standin_test.h"

namespace foliomix::com::testing {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

struct AlertLevelCase {
    const char* name;
    bool found;                     // the engine's alerts before: level 2 (all) or 1 (none)
    const char* fail;               // FOLIOMIX_STANDIN_FAIL
    bool turnOffFails;              // SetDisplayAlerts(false) is expected to throw
    std::vector<std::string> puts;  // every DisplayAlerts put, in order
    long left;                      // the level the engine is left with
};

void PrintTo(const AlertLevelCase& level, std::ostream* out) { *out << level.name; }

class ComAlerts : public StandinTest {
  protected:
    ComPresentationServer server;
};

class ComAlertLevels : public ComAlerts, public ::testing::WithParamInterface<AlertLevelCase> {};

TEST_P(ComAlertLevels, TurnOffWithTheLevelAndPutBackTheLevelFound) {
    const AlertLevelCase& param = GetParam();
    Control(L"FOLIOMIX_STANDIN_ALERT_LEVELS", L"1");
    Control(L"FOLIOMIX_STANDIN_USER_PRESENTATION", L"1");  // the engine outlives the Quit
    Control(L"FOLIOMIX_STANDIN_DISPLAY_ALERTS", param.found ? L"true" : L"false");
    Control(L"FOLIOMIX_STANDIN_FAIL",
            std::wstring(param.fail, param.fail + std::strlen(param.fail)));
    auto app = server.CreateApplication();
    if (param.turnOffFails) {
        try {
            app->SetDisplayAlerts(false);
            ADD_FAILURE() << "the failed write of the level was not reported";
        } catch (const ServerError& error) {
            EXPECT_THAT(error.what(), HasSubstr("Application.DisplayAlerts failed: 0x80004005"));
        }
    } else {
        app->SetDisplayAlerts(false);
    }
    app->Quit();

    std::vector<std::string> puts;
    for (const std::string& line : Log()) {
        if (line.find("DisplayAlerts.put") != std::string::npos) {
            puts.push_back(line);
        }
    }
    EXPECT_THAT(puts, ElementsAreArray(param.puts));
    Control(L"FOLIOMIX_STANDIN_FAIL", L"");
    const _variant_t left = FreshApplication().Get(L"DisplayAlerts");
    ASSERT_EQ(V_VT(&left), VT_I4);
    EXPECT_EQ(V_I4(&left), param.left);
}

INSTANTIATE_TEST_SUITE_P(
    AlertLevels, ComAlertLevels,
    ::testing::Values(
        AlertLevelCase{"FoundAll",
                       true,
                       "",
                       false,
                       {"Application.DisplayAlerts.put(false) -> FAILED 0x80020005",
                        "Application.DisplayAlerts.put(1)", "Application.DisplayAlerts.put(2)"},
                       2},
        AlertLevelCase{"FoundNone",
                       false,
                       "",
                       false,
                       {"Application.DisplayAlerts.put(false) -> FAILED 0x80020005",
                        "Application.DisplayAlerts.put(1)", "Application.DisplayAlerts.put(1)"},
                       1},
        // The level refused too: reported, and nothing was changed that needs putting back.
        AlertLevelCase{"LevelRefused",
                       true,
                       "Application.DisplayAlerts.put#2",
                       true,
                       {"Application.DisplayAlerts.put(false) -> FAILED 0x80020005",
                        "Application.DisplayAlerts.put(1) -> FAILED 0x80004005"},
                       2}),
    [](const ::testing::TestParamInfo<AlertLevelCase>& tested) {
        return std::string(tested.param.name);
    });

TEST_F(ComAlerts, TurningAlertsOnWithoutTurningThemOffPutsLevelAll) {
    Control(L"FOLIOMIX_STANDIN_ALERT_LEVELS", L"1");
    Control(L"FOLIOMIX_STANDIN_DISPLAY_ALERTS", L"false");
    auto app = server.CreateApplication();
    Mark();
    app->SetDisplayAlerts(true);
    EXPECT_THAT(Since(),
                ElementsAreArray({"Application.DisplayAlerts.put(true) -> FAILED 0x80020005",
                                  "Application.DisplayAlerts.put(2)"}));
}

}  // namespace
}  // namespace foliomix::com::testing
