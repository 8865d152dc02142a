# Writes the CTest registrations of a GoogleTest program's suites, one test per suite: run after
# each build of the program, as GoogleTest's own discovery runs, and included by CTest.
# -D PROGRAM=<the program> -D OUTPUT=<file to write> -D PREFIX=<test name prefix>
# -D LABELS=<label|label...> -D ENVIRONMENT=<var=value|...> -D CASE_TIMEOUT=<seconds per case>
# -D RESOURCE_LOCK=<what the suites may not share with another test at once, or nothing>
# (lists joined by "|": a ";" would split the command's argument). Fails when the program
# cannot list its cases or lists none.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" LABELS "${LABELS}")
string(REPLACE "|" ";" ENVIRONMENT "${ENVIRONMENT}")

execute_process(COMMAND "${PROGRAM}" --gtest_list_tests
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE failed TIMEOUT 60)
if(failed)
    message(FATAL_ERROR "${PROGRAM} --gtest_list_tests failed (${failed}):\n${errors}")
endif()

# "Suite." at the line's start, then its cases indented, each followed by nothing or a comment.
string(REPLACE "\n" ";" lines "${listing}")
set(suites "")
set(suite "")
foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #][^ ]*)\\.( |$)")
        set(suite "${CMAKE_MATCH_1}")
        list(APPEND suites "${suite}")
        set("cases_${suite}" 0)
    elseif(line MATCHES "^  [^ ]" AND suite)
        math(EXPR "cases_${suite}" "${cases_${suite}} + 1")
    endif()
endforeach()
if(NOT suites)
    message(FATAL_ERROR "${PROGRAM} lists no suite:\n${listing}")
endif()

set(script "")
foreach(suite IN LISTS suites)
    set(name "${PREFIX}${suite}")
    math(EXPR timeout "${CASE_TIMEOUT} * ${cases_${suite}}")
    string(APPEND script
        "add_test([==[${name}]==] [==[${PROGRAM}]==] [==[--gtest_filter=${suite}.*]==])\n"
        "set_tests_properties([==[${name}]==] PROPERTIES TIMEOUT ${timeout}"
        " LABELS [==[${LABELS}]==]")
    if(ENVIRONMENT)
        string(APPEND script " ENVIRONMENT [==[${ENVIRONMENT}]==]")
    endif()
    if(RESOURCE_LOCK)
        string(APPEND script " RESOURCE_LOCK [==[${RESOURCE_LOCK}]==]")
    endif()
    string(APPEND script ")\n")
endforeach()
file(WRITE "${OUTPUT}" "${script}")
