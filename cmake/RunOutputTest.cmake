# Runs one program and checks what it did, for peltra_add_output_test:
#   PROGRAM    the program to run, ARGS its arguments
#   EXIT_CODE  the exit status it must end with
#   CHECK      a CMake script that inspects OUTPUT and fails with FATAL_ERROR,
#              or takes out of OUTPUT what varies from run to run
#   EXPECTED   a file its standard output (after CHECK) must equal byte for byte
#   NAME       the test's name: what the program printed is kept beside the
#              test as <NAME>.actual when it differs, or when EXPECTED does not
#              exist yet (a new test: read it, then copy it there)
# Standard error passes through, so a failing test shows what the program said.
execute_process(COMMAND "${PROGRAM}" ${ARGS}
  OUTPUT_VARIABLE OUTPUT
  RESULT_VARIABLE status)

get_filename_component(program_name "${PROGRAM}" NAME)
if(NOT "${status}" STREQUAL "${EXIT_CODE}")
  message(FATAL_ERROR "${program_name} ended with status '${status}', expected ${EXIT_CODE}.\n"
    "Its output:\n${OUTPUT}")
endif()

if(CHECK)
  include("${CHECK}")
endif()

if(EXPECTED)
  if(NOT EXISTS "${EXPECTED}")
    file(WRITE "${NAME}.actual" "${OUTPUT}")
    message(FATAL_ERROR "${EXPECTED} does not exist yet. What ${program_name} "
      "printed is in ${CMAKE_CURRENT_BINARY_DIR}/${NAME}.actual: if it is right, "
      "copy it there.")
  endif()
  file(READ "${EXPECTED}" expected_output)
  if(NOT OUTPUT STREQUAL expected_output)
    # Keep what it printed beside the test and show the difference.
    file(WRITE "${NAME}.actual" "${OUTPUT}")
    execute_process(COMMAND diff -u --label expected --label actual
      "${EXPECTED}" "${NAME}.actual")
    message(FATAL_ERROR "${program_name} printed other output than ${EXPECTED}: "
      "the difference is above, the output in ${NAME}.actual.")
  endif()
endif()
