# Registers each case of a GoogleTest program as a CTest test of its own. The programs link
# foliomix_gtest_main (or call FailCasesOfAFailedSuiteSetUp from a main of their own), so that a
# case whose suite could not be set up fails rather than counting as skipped.
include(GoogleTest)

# foliomix_discover_tests(<target> PREFIX <prefix> LABELS <labels>... [TIMEOUT <s>]
#                         [ENVIRONMENT <var=value>...])
function(foliomix_discover_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;TIMEOUT" "LABELS;ENVIRONMENT")
    set(properties LABELS "${arg_LABELS}")
    if(arg_TIMEOUT)
        list(APPEND properties TIMEOUT ${arg_TIMEOUT})
    endif()
    if(arg_ENVIRONMENT)
        list(APPEND properties ENVIRONMENT "${arg_ENVIRONMENT}")
    endif()
    gtest_discover_tests(${target} TEST_PREFIX "${arg_PREFIX}" DISCOVERY_TIMEOUT 30
        PROPERTIES ${properties})
endfunction()
