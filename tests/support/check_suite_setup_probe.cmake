# Runs the probe's case as CTest runs a discovered case and judges it as CTest would: a case
# whose output shows "[  SKIPPED ]" counts as skipped (gtest_discover_tests's rule), which
# CTest counts as passed. A case whose suite set-up failed must fail instead.
execute_process(COMMAND "${PROBE}" --gtest_filter=SetUpFails.Case
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(status EQUAL 0)
    message(FATAL_ERROR "a case whose suite set-up failed exited 0:\n${output}")
endif()
if(output MATCHES "\\[  SKIPPED \\]")
    message(FATAL_ERROR "a case whose suite set-up failed would count as skipped:\n${output}")
endif()
