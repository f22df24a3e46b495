# Checks what pixel_access says on standard error about its windows:
#   -DLINE=<shell line>  run with DISPLAY unset, then with a display that does
#                        not answer: the count line, one line on standard
#                        error naming the missing display, status 1, each
#                        within 10 s (a program that waits for a display
#                        instead fails then, saying it timed out).
#   -DRUNNER=<run_in_windows.sh> -DPROGRAM=<pixel_access> -DSCREENSHOT=<png>
#                        run on a virtual display: the windows open and the
#                        program says how to close them.
if(DEFINED LINE)
  # A display number no server is likely to use.
  foreach(display IN ITEMS --unset=DISPLAY DISPLAY=:32123)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env --unset=WAYLAND_DISPLAY ${display}
              sh -c "${LINE}"
      TIMEOUT 10
      OUTPUT_VARIABLE output ERROR_VARIABLE error RESULT_VARIABLE status)
    if(NOT status STREQUAL "1"
       OR NOT output MATCHES "^There are [0-9]+ white-ish pixels\n$"
       OR NOT error MATCHES "^[^\n]*no display[^\n]*run_in_windows.sh[^\n]*\n$")
      message(FATAL_ERROR "With ${display}, `${LINE}` ended with status "
        "'${status}', printed:\n${output}and said:\n${error}")
    endif()
  endforeach()
else()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DISPLAY= ${RUNNER} --screenshot ${SCREENSHOT} ${PROGRAM}
    OUTPUT_VARIABLE output ERROR_VARIABLE error RESULT_VARIABLE status)
  if(NOT status STREQUAL "0"
     OR NOT error MATCHES "Press any key in a window to close both\\.\n")
    message(FATAL_ERROR "pixel_access under the runner ended with status "
      "'${status}' and said:\n${error}")
  endif()
endif()
