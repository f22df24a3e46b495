# A CHECK script for peltra_add_output_test: compares Google Test's report
# with expected/<program>.txt beside this script, after taking the source
# folder and the line number out of each "<file>:<line>: Failure" line, so
# that the report is the same wherever the sources are and however they move.
get_filename_component(program_name "${PROGRAM}" NAME)
string(REGEX REPLACE "[^\n]*/([^/\n]+):[0-9]+: Failure" "\\1: Failure" report "${OUTPUT}")
file(READ "${CMAKE_CURRENT_LIST_DIR}/expected/${program_name}.txt" expected_report)
if(NOT report STREQUAL expected_report)
  file(WRITE "${program_name}.actual" "${report}")
  execute_process(COMMAND diff -u --label expected --label actual
    "${CMAKE_CURRENT_LIST_DIR}/expected/${program_name}.txt" "${program_name}.actual")
  message(FATAL_ERROR "${program_name} reported otherwise than expected: "
    "the difference is above, the report in ${program_name}.actual.")
endif()
