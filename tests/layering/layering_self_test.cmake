# The layering check on a small tree made here: it passes the tree as allowed, then fails on
# each forbidden include added to it in turn, naming that file and only that one.
# Usage: cmake -DCHECK=<check_layering.cmake> -DWORK_DIR=<scratch folder> -P layering_self_test.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")

# What each layer may include.
file(WRITE "${WORK_DIR}/mergelist/merge_list.h" "#include <vector>\n#include \"app/main_window.h\"\n")
file(WRITE "${WORK_DIR}/merge/merge_run.cpp" "#include \"merge/merge_run.h\"\n#include <string>\n")
file(WRITE "${WORK_DIR}/app/main_window.h" "#include \"app/form_design.h\"\n")
file(WRITE "${WORK_DIR}/merge/com/late_bound.cpp"
    "#include <windows.h>\n#include <oleauto.h>\n#include \"merge/presentation_server.h\"\n")
file(WRITE "${WORK_DIR}/merge/impress/engine.cpp"
    "#include <com/sun/star/uno/Reference.hxx>\n#include <rtl/ustring.hxx>\n")

function(run_check expect_failure)
    execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${WORK_DIR} -P "${CHECK}"
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    set(output "${output}" PARENT_SCOPE)
    if(expect_failure AND result EQUAL 0)
        message(FATAL_ERROR "the check passed a forbidden include:\n${output}")
    elseif(NOT expect_failure AND NOT result EQUAL 0)
        message(FATAL_ERROR "the check failed an allowed tree:\n${output}")
    endif()
endfunction()

run_check(FALSE)

# <file>|<include line>: each is forbidden where it stands.
set(forbidden
    "mergelist/merge_list.cpp|#include <QWidget>"
    "merge/merge_job.cpp|#  include <QtCore/QString>"
    "merge/merge_job.h|#include <Windows.h>"
    "merge/presentation_server.h|#include <comdef.h>"
    "merge/merge_run.h|#include <com/sun/star/frame/XDesktop.hpp>"
    "mergelist/merge_list.cpp|#include \"merge/impress/engine_process.h\""
    "merge/merge_run.h|#include \"app/qt/qt_main_window.h\""
    "app/form_design.h|#include <windows.h>"
    "merge/impress/slide.cpp|#include \"app/main_window.h\""
    "merge/com/message_filter.h|#include \"app/win32/main_window_win32.h\""
    "merge/impress/engine_calls.h|#include <QEventLoop>")
foreach(case IN LISTS forbidden)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 name)
    list(GET parts 1 line)
    set(file "${WORK_DIR}/${name}")
    set(before "")
    if(EXISTS "${file}")
        file(READ "${file}" before)
    endif()
    file(WRITE "${file}" "${before}${line}\n")
    run_check(TRUE)
    if(NOT output MATCHES "${name}:")
        message(FATAL_ERROR "the check did not name ${name} for '${line}':\n${output}")
    endif()
    string(REGEX MATCHALL "\n[ ]*[a-z/_]+\\.(h|cpp): " named "\n${output}")
    list(LENGTH named count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "the check named other files than ${name}:\n${output}")
    endif()
    # Back as it was, so that the next case stands alone.
    if(before STREQUAL "")
        file(REMOVE "${file}")
    else()
        file(WRITE "${file}" "${before}")
    endif()
endforeach()
run_check(FALSE)
file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "The layering check refused each of the forbidden includes")
