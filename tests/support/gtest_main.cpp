// The main() of the test programs that CTest runs case by case: GoogleTest's own, and a case of
// a suite whose set-up failed fails.
#include <gtest/gtest.h>

#include "tests/support/suite_set_up.h"

int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    foliomix::testing::FailCasesOfAFailedSuiteSetUp();
    return RUN_ALL_TESTS();
}
