# Installs the build into a fresh prefix and checks that foliomix-merge and its manual page are
# where GNUInstallDirs puts them, and that the installed program runs (it finds the engine's
# libraries from there). Run with -DBUILD_DIR=… -DPREFIX=… -DEXPECTED_VERSION=… -P.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()
foreach(file bin/foliomix-merge share/man/man1/foliomix-merge.1)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
execute_process(COMMAND "${PREFIX}/bin/foliomix-merge" --version
    RESULT_VARIABLE status OUTPUT_VARIABLE version ERROR_VARIABLE errors)
file(REMOVE_RECURSE "${PREFIX}")
if(NOT status EQUAL 0 OR NOT version STREQUAL "foliomix-merge ${EXPECTED_VERSION}\n")
    message(FATAL_ERROR "the installed program answers ${status}: ${version}${errors}")
endif()
