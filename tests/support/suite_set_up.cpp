#include "tests/support/suite_set_up.h"

#include <gtest/gtest.h>

#include <memory>

namespace foliomix::testing {
namespace {

// Told of each case as it starts, also of one that GoogleTest only marks as skipped: a failure
// added then makes the case a failed one, which a skip cannot undo.
class SuiteSetUpFailures final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& /*test*/) override {
        const ::testing::TestSuite* suite =
            ::testing::UnitTest::GetInstance()->current_test_suite();
        if (suite != nullptr && suite->ad_hoc_test_result().Failed()) {
            ADD_FAILURE() << "the suite's set-up failed (see above): this case did not run";
        }
    }
};

}  // namespace

void FailCasesOfAFailedSuiteSetUp() {
    // GoogleTest takes ownership of its listeners.
    ::testing::UnitTest::GetInstance()->listeners().Append(
        std::make_unique<SuiteSetUpFailures>().release());
}

}  // namespace foliomix::testing
