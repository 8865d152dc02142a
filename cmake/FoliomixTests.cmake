# Registers each case of a GoogleTest program as a CTest test of its own.
#
# GoogleTest reports the cases of a suite whose SetUpTestSuite failed as skipped (and the
# program fails), and gtest_discover_tests tells CTest to count any output with "[  SKIPPED ]"
# as a skip, which CTest counts as a pass: a suite that could not make its decks or start its
# engine would leave the run green. Here only a skip that says why on purpose is a skip:
#     GTEST_SKIP() << "Skipped on purpose: <the reason>";
# everything else that does not pass fails.
include(GoogleTest)

set(FOLIOMIX_SKIP_ON_PURPOSE "Skipped on purpose: ")

# foliomix_discover_tests(<target> PREFIX <prefix> LABELS <labels>... [TIMEOUT <s>]
#                         [ENVIRONMENT <var=value>...])
function(foliomix_discover_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;TIMEOUT" "LABELS;ENVIRONMENT")
    set(properties LABELS "${arg_LABELS}" SKIP_REGULAR_EXPRESSION "${FOLIOMIX_SKIP_ON_PURPOSE}")
    if(arg_TIMEOUT)
        list(APPEND properties TIMEOUT ${arg_TIMEOUT})
    endif()
    if(arg_ENVIRONMENT)
        list(APPEND properties ENVIRONMENT "${arg_ENVIRONMENT}")
    endif()
    gtest_discover_tests(${target} TEST_PREFIX "${arg_PREFIX}" DISCOVERY_TIMEOUT 30
        PROPERTIES ${properties})
endfunction()
