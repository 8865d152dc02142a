# Runs the probe's cases one at a time and checks them against the skip rule that every tier's
# tests are registered with: a suite whose set-up failed must fail, a skip on purpose be a skip.
function(run_case filter)
    execute_process(COMMAND "${PROBE}" --gtest_filter=${filter}
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    set(status "${status}" PARENT_SCOPE)
    set(output "${output}" PARENT_SCOPE)
endfunction()

run_case(SetUpFails.Case)
if(status EQUAL 0)
    message(FATAL_ERROR "a case whose suite set-up failed exited 0:\n${output}")
endif()
if(output MATCHES "${SKIP_REGEX}")
    message(FATAL_ERROR "a case whose suite set-up failed would count as skipped:\n${output}")
endif()

run_case(SkippedOnPurpose.Case)
if(NOT status EQUAL 0 OR NOT output MATCHES "${SKIP_REGEX}")
    message(FATAL_ERROR "a skip on purpose would not count as skipped:\n${output}")
endif()
