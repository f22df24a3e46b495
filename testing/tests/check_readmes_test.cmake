# The README check on a small sample tree, written here, must fail and name
# exactly what is wrong: a README that names a file which does not exist and
# shows three commands: one that the tour runs, one that nothing runs, and one
# that is only the start of what the tour runs (build/default/less, where
# build/default/lesson is run), which is not run either. The
# tree also links back to itself, as a build folder of the install test does:
# the check must not wander through the link or warn about it.
#   cmake -DCHECK=<CheckReadmes.cmake> -DTREE=<scratch folder> -P check_readmes_test.cmake
file(REMOVE_RECURSE "${TREE}")
file(WRITE "${TREE}/README.md" "# A sample
`lesson.cpp` is the lesson, `missing.h` is not there.

```sh
build/default/lesson
build/default/lesson --never-run
build/default/less
```
")
file(WRITE "${TREE}/lesson.cpp" "")
file(WRITE "${TREE}/tour.sh" "step 'The lesson' 0 no 'build/default/lesson'\n")
file(MAKE_DIRECTORY "${TREE}/build/default")
file(CREATE_LINK "${TREE}" "${TREE}/build/default/checkout" SYMBOLIC)

execute_process(
  COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${TREE}" "-DBINARY_DIR=${TREE}" -P "${CHECK}"
  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE status)
if(status EQUAL 0)
  message(FATAL_ERROR "The README check passed a README with a missing file "
    "and a command that nothing runs. It said:\n${output}")
endif()
foreach(expected IN ITEMS "README.md: missing.h" "README.md: build/default/lesson --never-run"
    "README.md: build/default/less")
  if(NOT output MATCHES "\n[ ]+${expected}\n")
    message(FATAL_ERROR "The README check did not name \"${expected}\". It said:\n${output}")
  endif()
endforeach()
foreach(unexpected IN ITEMS "README.md: lesson.cpp" "README.md: build/default/lesson\n" "Warning")
  string(FIND "${output}" "${unexpected}" at)
  if(at GREATER -1)
    message(FATAL_ERROR "The README check said \"${unexpected}\" of the sample tree:\n${output}")
  endif()
endforeach()
