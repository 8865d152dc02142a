// With nothing registered under the engine's program identifier: the real "not installed" path.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "merge/com/com_presentation_server.h"
#include "merge/merge_run.h"
#include "tests/unit/counting_server.h"
#include "tests/unit/fake_window.h"

namespace foliomix::com {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(ComNotInstalled, CreatingTheApplicationFailsWithClassString) {
    ComApartment apartment;
    ComPresentationServer server;
    try {
        (void)server.CreateApplication();
        ADD_FAILURE() << "no failure without an engine";
    } catch (const ServerError& error) {
        EXPECT_THAT(error.what(),
                    HasSubstr("CLSIDFromProgID(PowerPoint.application) failed: 0x800401F3"));
    }
}

TEST(ComNotInstalled, CreatingTheGlobalObjectFailsWithClassNotRegistered) {
    ComApartment apartment;
    ComPresentationServer server;
    try {
        (void)server.CreateGlobal();
        ADD_FAILURE() << "no failure without an engine";
    } catch (const ServerError& error) {
        EXPECT_THAT(error.what(), HasSubstr("0x80040154"));
    }
}

TEST(ComNotInstalled, TheRunShowsTheNotInstalledTextAndHoldsNoEngineObject) {
    ComApartment apartment;
    foliomix::testing::CallLog calls;
    foliomix::testing::FakeWindow window{calls};
    window.rows = {u"C:\\a.ppt"};
    window.saveAnswers = {{DialogOutcome::Confirmed, u"C:\\合并结果.ppt"}};
    ComPresentationServer engine;
    foliomix::testing::CountingServer server{engine};
    MergeRun run{window, server};
    EXPECT_EQ(run.Run(), JobOutcome::StartFailed);
    EXPECT_EQ(server.liveApplications, 0);
    EXPECT_EQ(server.liveGlobals, 0);
    EXPECT_THAT(
        std::vector<std::string>(calls.end() - 2, calls.end()),
        ElementsAre("window.Beep", "window.MsgBox(出错，系统没有安装 MS PowerPoint|合并演示文稿)"));
}

}  // namespace
}  // namespace foliomix::com
