# The CHECK script of peltra_add_report_test: takes the source folder and the
# line number out of each "<file>:<line>: Failure" line of Google Test's
# report, so that the report is the same wherever the sources are and however
# they move.
string(REGEX REPLACE "[^\n]*/([^/\n]+):[0-9]+: Failure" "\\1: Failure" OUTPUT "${OUTPUT}")
