# Runs one program and checks what it did, for peltra_add_output_test:
#   PROGRAM    the program to run, ARGS its arguments
#   EXIT_CODE  the exit status it must end with
#   CHECK      a CMake script that inspects OUTPUT and fails with FATAL_ERROR,
#              or takes out of OUTPUT what varies from run to run
#   EXPECTED   a file its standard output (after CHECK) must equal byte for byte
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
  file(READ "${EXPECTED}" expected_output)
  if(NOT OUTPUT STREQUAL expected_output)
    # Keep what it printed beside the test and show the difference.
    file(WRITE "${program_name}.actual" "${OUTPUT}")
    execute_process(COMMAND diff -u --label expected --label actual
      "${EXPECTED}" "${program_name}.actual")
    message(FATAL_ERROR "${program_name} printed other output than ${EXPECTED}: "
      "the difference is above, the output in ${program_name}.actual.")
  endif()
endif()

