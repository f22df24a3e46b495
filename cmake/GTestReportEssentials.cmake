# The CHECK script of peltra_add_report_test: boils a GoogleTest report down
# to what a check program teaches, so that the comparison holds with any
# GoogleTest release and wherever the sources are:
#   <Suite>.<Test>: OK | FAILED          each test, in the order it ran
#     <file>: Failure                    each failure, without folder and line,
#     <the lines it printed>             with its quoted expressions and values
#   passed <n>, failed <m>               GoogleTest's own summary
# Banners, timings, colour and the list of failed tests at the end go.
# CMake lists split on ";" and treat brackets specially: stand-ins for both.
string(REPLACE ";" "<semicolon>" text "${OUTPUT}")
string(REPLACE "[" "<lb>" text "${text}")
string(REPLACE "]" "<rb>" text "${text}")
string(REPLACE "\n" ";" lines "${text}")
set(OUTPUT "")
set(passed 0)
set(failed 0)
set(in_test FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^<lb> RUN      <rb> (.*)$")
    set(name "${CMAKE_MATCH_1}")
    set(body "")
    set(in_test TRUE)
  elseif(in_test AND line MATCHES "^<lb>       OK <rb> ")
    string(APPEND OUTPUT "${name}: OK\n${body}")
    set(in_test FALSE)
  elseif(in_test AND line MATCHES "^<lb>  FAILED  <rb> ")
    string(APPEND OUTPUT "${name}: FAILED\n${body}")
    set(in_test FALSE)
  elseif(line MATCHES "^<lb>  PASSED  <rb> ([0-9]+) tests?\\.$")
    set(passed ${CMAKE_MATCH_1})
  elseif(line MATCHES "^<lb>  FAILED  <rb> ([0-9]+) tests?, listed below:$")
    set(failed ${CMAKE_MATCH_1})
  elseif(in_test)
    # A failure line names the source file; its folder and line number vary.
    if(line MATCHES ": Failure$")
      string(REGEX REPLACE "^.*/" "" line "${line}")
      string(REGEX REPLACE "[:(][0-9]+\\)?: Failure$" ": Failure" line "${line}")
    endif()
    string(STRIP "${line}" line)
    if(NOT line STREQUAL "")
      string(APPEND body "  ${line}\n")
    endif()
  endif()
endforeach()
string(APPEND OUTPUT "passed ${passed}, failed ${failed}\n")
string(REPLACE "<semicolon>" ";" OUTPUT "${OUTPUT}")
string(REPLACE "<lb>" "[" OUTPUT "${OUTPUT}")
string(REPLACE "<rb>" "]" OUTPUT "${OUTPUT}")
