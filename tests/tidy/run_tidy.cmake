# Runs clang-tidy on the sources of ours in a build's compile database, as the compiler saw them
# but for GCC's precompiled headers: clang cannot read those, so their "-include" is dropped
# from each command, and the header's own includes stand at the top of each source anyway.
# -D BUILD_DIR=<build> -D WORK_DIR=<folder for the edited database> -D RUN_CLANG_TIDY=<program>
# -D CLANG_TIDY=<program> -D SOURCES=<regular expression of the files to check>
cmake_minimum_required(VERSION 3.25)
file(READ "${BUILD_DIR}/compile_commands.json" database)
string(REGEX REPLACE " -include [^ \"]*cmake_pch\\.hxx" "" database "${database}")
string(REPLACE " -Winvalid-pch" "" database "${database}")
file(MAKE_DIRECTORY "${WORK_DIR}")
file(WRITE "${WORK_DIR}/compile_commands.json" "${database}")
# At a lower priority: it takes whatever processor time the tests beside it leave, and none
# that their engines and windows need to keep within the times they are checked against.
execute_process(
    COMMAND nice -n 10 "${RUN_CLANG_TIDY}" -clang-tidy-binary "${CLANG_TIDY}" -p "${WORK_DIR}"
            -j 2 -quiet "${SOURCES}"
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "clang-tidy reported findings (${failed})")
endif()
