# data_race's value varies from run to run, so its output is checked by form:
# exactly one line "Final value: N" with 0 < N <= 20000000 (two threads of
# 10000000 increments, of which some may be lost but none counted twice).
if(NOT OUTPUT MATCHES "^Final value: ([1-9][0-9]*)\n$")
  message(FATAL_ERROR "Not one line 'Final value: N' with N above 0:\n${OUTPUT}")
endif()
set(value "${CMAKE_MATCH_1}")
string(LENGTH "${value}" digits)
if(digits GREATER 8 OR value GREATER 20000000)
  message(FATAL_ERROR "Final value ${value} is above 20000000.")
endif()
