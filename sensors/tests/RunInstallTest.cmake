# Installs the build tree (BUILD_DIR) into a prefix under WORK_DIR, then
# configures, builds and runs the outside program in PROJECT_DIR against it,
# with the project's generator (GENERATOR) and compiler (CXX_COMPILER). The
# program finds libpeltra at run time through the path CMake records in it.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

function(run)
  execute_process(COMMAND ${ARGN}
    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
  if(status)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "Failed (${status}): ${command}\n${output}")
  endif()
endfunction()

run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}")
run("${CMAKE_COMMAND}" -S "${PROJECT_DIR}" -B "${WORK_DIR}/build"
  -G "${GENERATOR}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
  "-DCMAKE_PREFIX_PATH=${prefix}")
run("${CMAKE_COMMAND}" --build "${WORK_DIR}/build")

execute_process(COMMAND "${WORK_DIR}/build/radar_outside"
  OUTPUT_VARIABLE output RESULT_VARIABLE status)
set(expected "RAD-00: 3 readings within [0.2, 16], resolution 20, field of view 60, a Ranger: yes\n")
if(NOT status EQUAL 0 OR NOT output STREQUAL expected)
  message(FATAL_ERROR "radar_outside ended with status ${status} and printed\n"
    "${output}\ninstead of\n${expected}")
endif()
