// Cases whose outcome the check beside this file knows: it runs them one at a time, as CTest
// runs each discovered case, and reads what CTest would make of them.
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class SetUpFails : public testing::Test {
  protected:
    // As a suite does whose engine cannot make its decks.
    static void SetUpTestSuite() { throw std::runtime_error("the decks could not be made"); }
};

TEST_F(SetUpFails, Case) { SUCCEED(); }

TEST(SkippedOnPurpose, Case) { GTEST_SKIP() << "Skipped on purpose: the probe's own reason"; }

}  // namespace
