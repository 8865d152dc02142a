// GoogleTest reports the cases of a suite whose SetUpTestSuite failed as skipped, and CTest,
// through the rule gtest_discover_tests gives every case ("[  SKIPPED ]" means skipped), counts
// them as passed: a suite that could not start its engine or make its decks left the run green.
#pragma once

namespace foliomix::testing {

// From now on, each case of a suite whose set-up failed fails, saying so, instead of being
// skipped. Call once, after InitGoogleTest.
void FailCasesOfAFailedSuiteSetUp();

}  // namespace foliomix::testing
