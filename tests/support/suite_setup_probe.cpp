// A suite whose set-up fails, as one does whose engine cannot make its decks; the check beside
// this file runs its case as CTest does.
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class SetUpFails : public testing::Test {
  protected:
    static void SetUpTestSuite() { throw std::runtime_error("the decks could not be made"); }
};

TEST_F(SetUpFails, Case) { SUCCEED(); }

}  // namespace
