# Checks, after pixel_access ran on a virtual display, what the windows
# showed: a run that printed "No image data " left no screenshot (no window
# opened); any other run left one, which check_windows compares pixel for
# pixel with the picture. Needs `window_checker`, the path of check_windows.
set(here "${CMAKE_CURRENT_BINARY_DIR}")
if(OUTPUT STREQUAL "No image data \n")
  if(EXISTS "${here}/windows.png")
    message(FATAL_ERROR "A window opened although the picture could not be read.")
  endif()
  return()
endif()

if(NOT OUTPUT MATCHES "^There are ([0-9]+) white-ish pixels\n$")
  message(FATAL_ERROR "Unexpected output:\n${OUTPUT}")
endif()
execute_process(
  COMMAND "${window_checker}" "${here}/windows.png" "${here}/windows.txt"
          "${here}/megumin.jpg" "${CMAKE_MATCH_1}"
  RESULT_VARIABLE checked)
if(NOT checked EQUAL 0)
  message(FATAL_ERROR "The windows did not show what they should: see ${here}/windows.png")
endif()
