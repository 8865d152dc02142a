# The layering rules, checked on the include lines of the sources under SOURCE_DIR:
# - the core (mergelist/, the files directly in merge/, the staged result, and the window's
#   portable interface and design directly in app/) includes no toolkit (Qt), Windows/COM or
#   UNO header, and none of an edition's or an adapter's headers (app/qt, app/win32, app/cli,
#   merge/com, merge/impress);
# - an engine adapter (merge/com, merge/impress) includes no window header (app/...) and no Qt.
# Usage: cmake -DSOURCE_DIR=<tree> -P check_layering.cmake
# Fails naming every file and line that breaks a rule.
cmake_minimum_required(VERSION 3.25)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "check_layering: SOURCE_DIR must name the source tree")
endif()

# Header names by family, as regular expressions on what stands between <> or "".
set(qt_headers "^(Q[A-Za-z0-9]+|Qt[A-Za-z0-9]*/.*|q[a-z0-9_]+\\.h)$")
set(windows_headers
    "^([Ww]indows|win[a-z0-9_]*|ole[a-z0-9_]*|oa[a-z0-9_]*|oc[a-z]*|objbase|objidl[a-z]*|unknwn|combaseapi|comdef|comutil|comip|comdefsp|wtypes[a-z]*|sh[a-z]*|commdlg|commctrl|propvarutil|propsys|uxtheme|dwmapi|psapi|tlhelp32|dbghelp|rpc[a-z]*|guiddef)\\.h$|^(wrl|wil|atl[a-z]*)/")
set(uno_headers "^(com/sun/star|cppuhelper|cppu|rtl|osl|sal|uno|comphelper|typelib|o3tl)/")
set(edition_headers "^(app/qt|app/win32|app/cli|merge/com|merge/impress)/")
set(window_headers "^app/")

# check(<files> <rule name> <regex>...): one line per include of a forbidden family.
set(violations "")
function(check files rule)
    foreach(file IN LISTS files)
        file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header
                "${line}")
            foreach(pattern IN LISTS ARGN)
                if(header MATCHES "${pattern}")
                    file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
                    string(APPEND violations "${name}: ${rule}: #include ${header}\n")
                    break()
                endif()
            endforeach()
        endforeach()
    endforeach()
    set(violations "${violations}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE core_files LIST_DIRECTORIES false
    "${SOURCE_DIR}/mergelist/*.h" "${SOURCE_DIR}/mergelist/*.cpp")
file(GLOB core_top LIST_DIRECTORIES false
    "${SOURCE_DIR}/merge/*.h" "${SOURCE_DIR}/merge/*.cpp" "${SOURCE_DIR}/app/*.h"
    "${SOURCE_DIR}/merge/staging/staged_result.*")
list(APPEND core_files ${core_top})
file(GLOB_RECURSE adapter_files LIST_DIRECTORIES false
    "${SOURCE_DIR}/merge/com/*.h" "${SOURCE_DIR}/merge/com/*.cpp"
    "${SOURCE_DIR}/merge/impress/*.h" "${SOURCE_DIR}/merge/impress/*.cpp")
if(NOT core_files OR NOT adapter_files)
    message(FATAL_ERROR "check_layering: no core or no adapter sources under ${SOURCE_DIR}")
endif()

check("${core_files}" "the core includes a toolkit, Windows/COM, UNO or edition header"
    "${qt_headers}" "${windows_headers}" "${uno_headers}" "${edition_headers}")
check("${adapter_files}" "an engine adapter includes a window or Qt header"
    "${window_headers}" "${qt_headers}")

list(LENGTH core_files core_count)
list(LENGTH adapter_files adapter_count)
if(violations)
    message(FATAL_ERROR "Layering broken:\n${violations}")
endif()
message(STATUS "Layering kept: ${core_count} core and ${adapter_count} adapter files")
