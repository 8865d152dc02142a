# Registers each case of a GoogleTest program as a CTest test of its own, or (the real-engine
# tiers) each suite. The programs link foliomix_gtest_main (or call FailCasesOfAFailedSuiteSetUp
# from a main of their own), so that a case whose suite could not be set up fails rather than
# counting as skipped.
include(GoogleTest)

# foliomix_precompile_test_headers(<target>...): GoogleTest's and GoogleMock's headers,
# precompiled once for each test program, cost less than parsing them in every test source. The
# `tidy` test drops them from what clang-tidy sees (it cannot read GCC's precompiled headers);
# the sources include what they use themselves.
function(foliomix_precompile_test_headers)
    foreach(target IN LISTS ARGN)
        target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
    endforeach()
endfunction()

# foliomix_discover_tests(<target> PREFIX <prefix> LABELS <labels>... [TIMEOUT <s>]
#                         [ENVIRONMENT <var=value>...])
function(foliomix_discover_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;TIMEOUT" "LABELS;ENVIRONMENT")
    set(properties "")
    if(arg_TIMEOUT)
        set(properties PROPERTIES TIMEOUT ${arg_TIMEOUT})
    endif()
    string(MAKE_C_IDENTIFIER "${target}_${arg_PREFIX}" tests)
    gtest_discover_tests(${target} TEST_PREFIX "${arg_PREFIX}" DISCOVERY_TIMEOUT 30
        TEST_LIST ${tests} ${properties})
    # Properties of several values (two labels, two variables) are set once the cases are
    # known: handed to the discovery, every value after the first would be lost.
    set(set_properties "${CMAKE_CURRENT_BINARY_DIR}/${tests}_properties.cmake")
    file(WRITE "${set_properties}"
        "if(${tests})\n"
        "  set_tests_properties(\${${tests}} PROPERTIES LABELS [==[${arg_LABELS}]==])\n")
    if(arg_ENVIRONMENT)
        file(APPEND "${set_properties}"
            "  set_tests_properties(\${${tests}} PROPERTIES ENVIRONMENT [==[${arg_ENVIRONMENT}]==])\n")
    endif()
    file(APPEND "${set_properties}" "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${set_properties}")
endfunction()

# The LibreOffice version ("25.2") of the engine in `program_dir`, as its soffice tells it;
# "unknown" when it does not.
function(foliomix_engine_version program_dir out)
    execute_process(COMMAND "${program_dir}/soffice" --version
        OUTPUT_VARIABLE said ERROR_QUIET TIMEOUT 60 RESULT_VARIABLE failed)
    if(NOT failed AND said MATCHES "LibreOffice ([0-9]+\\.[0-9]+)")
        set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    else()
        set(${out} "unknown" PARENT_SCOPE)
    endif()
endfunction()

# The real-engine tiers run against the system's engine and again against each further engine
# whose program folder FOLIOMIX_TEST_ENGINES lists: by default each that
# scripts/fetch-test-engine.sh unpacked under build/engines (LibreOffice 25.2); "none": none.
set(FOLIOMIX_TEST_ENGINES "" CACHE STRING
    "Program folders of further engines for the real-engine tests (default: build/engines/*; none: none)")

# The further engines' program folders and all engines' versions, found once per configure.
function(foliomix_find_test_engines)
    get_property(found GLOBAL PROPERTY foliomix_test_engines_found)
    if(found)
        return()
    endif()
    set(engines "${FOLIOMIX_TEST_ENGINES}")
    if(engines STREQUAL "")
        file(GLOB engines CONFIGURE_DEPENDS LIST_DIRECTORIES true
            "${PROJECT_SOURCE_DIR}/build/engines/*/usr/lib/libreoffice/program")
    elseif(engines STREQUAL "none")
        set(engines "")
    endif()
    set(versions "")
    foreach(engine IN LISTS engines)
        foliomix_engine_version("${engine}" version)
        list(APPEND versions "${version}")
        message(STATUS "Real-engine tests also run against LibreOffice ${version}: ${engine}")
    endforeach()
    foliomix_engine_version("${FOLIOMIX_LO_PROGRAM_DIR}" system)
    set_property(GLOBAL PROPERTY foliomix_test_engines_found TRUE)
    set_property(GLOBAL PROPERTY foliomix_test_engines "${engines}")
    set_property(GLOBAL PROPERTY foliomix_test_engine_versions "${versions}")
    set_property(GLOBAL PROPERTY foliomix_system_engine_version "${system}")
endfunction()

# foliomix_discover_suites(<target> PREFIX <prefix> LABELS <labels>... TIMEOUT <s per case>
#                          [RESOURCE_LOCK <name>] [ENVIRONMENT <var=value>...])
# Registers each suite of a GoogleTest program as one CTest test, <prefix><suite>, that runs all
# of the suite's cases in one process: for suites whose cases share an engine and decks that
# cost seconds to make. A failing case still shows by name in the test's output, and the other
# cases of its suite still run. The suites are listed after each build of the program.
function(foliomix_discover_suites target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;TIMEOUT;RESOURCE_LOCK" "LABELS;ENVIRONMENT")
    string(MAKE_C_IDENTIFIER "${target}_${arg_PREFIX}" id)
    set(suites "${CMAKE_CURRENT_BINARY_DIR}/${id}_suites.cmake")
    list(JOIN arg_LABELS "|" labels)
    list(JOIN arg_ENVIRONMENT "|" environment)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND "${CMAKE_COMMAND}" "-DPROGRAM=$<TARGET_FILE:${target}>" "-DOUTPUT=${suites}"
            "-DPREFIX=${arg_PREFIX}" "-DLABELS=${labels}" "-DENVIRONMENT=${environment}"
            "-DCASE_TIMEOUT=${arg_TIMEOUT}" "-DRESOURCE_LOCK=${arg_RESOURCE_LOCK}"
            -P "${PROJECT_SOURCE_DIR}/cmake/discover_suites.cmake"
        BYPRODUCTS "${suites}"
        VERBATIM)
    # Until the program is built, one test that fails saying so.
    set(include "${CMAKE_CURRENT_BINARY_DIR}/${id}_include.cmake")
    file(WRITE "${include}"
        "if(EXISTS [==[${suites}]==])\n"
        "  include([==[${suites}]==])\n"
        "else()\n"
        "  add_test([==[${arg_PREFIX}NOT_BUILT]==] [==[${target}_NOT_BUILT]==])\n"
        "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include}")
endfunction()

# foliomix_discover_engine_tests(<target> PREFIX <prefix> LABELS <labels>... TIMEOUT <s per case>
#                                [ENVIRONMENT <var=value>...])
# As foliomix_discover_suites, once per engine, each suite labelled with its engine's version
# ("libreoffice-7.4"): against the system's under <prefix><suite>, against each further engine
# under <prefix>libreoffice-<version>.<suite>, named to it by FOLIOMIX_ENGINE. No two of them
# run at once (RESOURCE_LOCK engine): two engines at work side by side have slowed each other
# past what the cases expect. Other tests may run beside them.
function(foliomix_discover_engine_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;TIMEOUT" "LABELS;ENVIRONMENT")
    foliomix_find_test_engines()
    get_property(engines GLOBAL PROPERTY foliomix_test_engines)
    get_property(versions GLOBAL PROPERTY foliomix_test_engine_versions)
    get_property(system GLOBAL PROPERTY foliomix_system_engine_version)
    foliomix_discover_suites(${target} PREFIX "${arg_PREFIX}"
        LABELS ${arg_LABELS} "libreoffice-${system}" TIMEOUT ${arg_TIMEOUT} RESOURCE_LOCK engine
        ENVIRONMENT ${arg_ENVIRONMENT})
    foreach(engine version IN ZIP_LISTS engines versions)
        foliomix_discover_suites(${target} PREFIX "${arg_PREFIX}libreoffice-${version}."
            LABELS ${arg_LABELS} "libreoffice-${version}" TIMEOUT ${arg_TIMEOUT}
            RESOURCE_LOCK engine ENVIRONMENT ${arg_ENVIRONMENT} "FOLIOMIX_ENGINE=${engine}")
    endforeach()
endfunction()

# The test `name`: the real-engine cases are registered as foliomix_discover_engine_tests says,
# judged from CTest's own listing (check_engine_labels.cmake).
function(foliomix_add_engine_labels_check name)
    foliomix_find_test_engines()
    get_property(engines GLOBAL PROPERTY foliomix_test_engines)
    get_property(system GLOBAL PROPERTY foliomix_system_engine_version)
    list(LENGTH engines further)
    math(EXPR expected "${further} + 1")
    add_test(NAME ${name} COMMAND "${CMAKE_COMMAND}" -DCTEST=${CMAKE_CTEST_COMMAND}
        -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSYSTEM_VERSION=${system} -DEXPECTED_ENGINES=${expected}
        -P "${PROJECT_SOURCE_DIR}/cmake/check_engine_labels.cmake")
    set_tests_properties(${name} PROPERTIES LABELS unit)
endfunction()
