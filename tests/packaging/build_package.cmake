# Makes the build's package afresh, so that no package of an earlier build is checked in its
# place: cmake -DBUILD_DIR=… -P build_package.cmake
file(REMOVE_RECURSE "${BUILD_DIR}/packages")
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target package
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "building the package failed: ${status}")
endif()
