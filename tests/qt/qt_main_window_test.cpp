#include "app/qt/qt_main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/qt/window_fixture.h"

namespace foliomix::testing {
namespace {

using design::ControlId;
using ::testing::ElementsAre;

TEST_F(WindowTest, Smoke) {
    const QString a = MakeDeck("a.ppt", {"a1"});
    const QString b = MakeDeck("b.ppt", {"b1", "b2"});
    AddFiles(R"("b.ppt" "a.ppt")");
    EXPECT_EQ(Rows(ListBox(*window)), QStringList({b, a}));
}

}  // namespace
}  // namespace foliomix::testing
