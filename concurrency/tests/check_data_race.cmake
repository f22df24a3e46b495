# data_race's value varies from run to run, so its output is checked by form:
# exactly one line "Final value: N" with 0 < N <= two threads' increments
# (some may be lost, none counted twice). The count per thread is read from
# the header, where it is written once.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../shared_counter.h" line
  REGEX "increments_per_thread = [0-9]+")
if(NOT line MATCHES "= ([0-9]+)")
  message(FATAL_ERROR "No increments_per_thread in shared_counter.h")
endif()
math(EXPR most "2 * ${CMAKE_MATCH_1}")

if(NOT OUTPUT MATCHES "^Final value: ([1-9][0-9]*)\n$")
  message(FATAL_ERROR "Not one line 'Final value: N' with N above 0:\n${OUTPUT}")
endif()
set(value "${CMAKE_MATCH_1}")
string(LENGTH "${value}" digits)
if(digits GREATER 18 OR value GREATER most)
  message(FATAL_ERROR "Final value ${value} is above ${most}.")
endif()
