# Exercises: a student writes the key part of a lesson in a starter file, and
# the lesson's own tests say whether it is right. The starters build only in
# a build of their own (preset "exercises", -DPELTRA_EXERCISES=ON, in
# build/exercises), so that work in progress never turns the project's tests
# red; scripts/exercise drives that build and reads the list this file writes
# into it (exercises.tsv), in the order the folders declare their exercises.
#
#   peltra_add_exercise(<name> LESSON <target> [SOURCE <file>] [SOLUTION <file>]
#                       TASK <text> HINT <text> [NEEDS OpenCV|Eigen ...]
#                       [TESTS <object library or test source> ...]
#                       [OUTPUTS <output test> ...]
#                       [CATCHES <program> ...]
#                       [TIMEOUT <seconds>])
#
# The starter is <folder>/exercises/<name>.cpp (names are unique across the
# folders), a copy of the lesson's source (LESSON's only source, or SOURCE)
# with the body of the key function taken out and a comment at the gap. What
# its checks need is built twice: with the starter in place of the lesson's
# source, and with the solution (SOLUTION, in exercises/solutions/, where the
# exercise goes beyond its lesson; else the lesson's source itself):
# - TESTS: GoogleTest tests linked with the starter instead of LESSON, a
#   module; every test must pass. Name the lesson's tests as an object
#   library that the lesson's own test executable links too, so that both run
#   the very same tests (data/tests/CMakeLists.txt shows how), or name test
#   sources of the exercise's own.
# - OUTPUTS: output tests (peltra_add_output_test) of programs built from the
#   lesson's source: the program built from the starter must print what the
#   test expects and end as it expects.
# - CATCHES: the student writes checks: LESSON is a check program with its
#   own main, which must pass; each program named here builds the same source
#   against a faulty stand-in (peltra_add_faulty_checks), and must fail.
# TASK says in two to four lines what to write; HINT gives the idea, not the
# code. NEEDS names optional packages: without one, the exercise is listed as
# left out, with the line that installs it. A check that runs longer than
# TIMEOUT seconds (30) is stopped and reported as a wait that did not wake.
#
# How to add an exercise: copy the lesson's source to
# <folder>/exercises/<name>.cpp, take out the body of the key function (keep
# a return statement, so that it compiles), say at the gap in a sentence or
# two what to write, and leave the rest as it is, so that
# `./scripts/exercise solution <name>` shows just the gap. Declare it in
# <folder>/exercises/CMakeLists.txt, which the folder's CMakeLists.txt adds
# when PELTRA_EXERCISES is on, in the order of the folder's lessons; list it
# in the folder README with the lesson it practises; then
# `./scripts/exercise verify` must pass: the starter compiles and fails a
# check, the solution passes them all.

if(NOT BUILD_TESTING)
  message(FATAL_ERROR "The exercises are checked by the lessons' tests: "
    "configure with BUILD_TESTING on.")
endif()

# The optional packages an exercise may need: how this build knows that it
# has one, and the Debian package that brings it (as scripts/deps installs it).
set(_peltra_exercise_need_OpenCV "OpenCV_FOUND" libopencv-dev)
set(_peltra_exercise_need_Eigen "TARGET;Eigen3::Eigen" libeigen3-dev)

# Builds every starter and every solution; scripts/exercise verify uses it.
add_custom_target(exercises)

# Declares one exercise; see the top of this file.
function(peltra_add_exercise name)
  cmake_parse_arguments(PARSE_ARGV 1 arg ""
    "LESSON;SOURCE;SOLUTION;TASK;HINT;TIMEOUT" "NEEDS;TESTS;OUTPUTS;CATCHES")
  set(where "exercise ${name}")
  set(starter ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
  foreach(required IN ITEMS LESSON TASK HINT)
    if(NOT arg_${required})
      message(FATAL_ERROR "${where}: ${required} is missing")
    endif()
  endforeach()
  if(NOT EXISTS ${starter})
    message(FATAL_ERROR "${where}: the starter ${starter} does not exist")
  endif()
  # A student names an exercise by its name alone, so no two share one.
  get_property(names GLOBAL PROPERTY PELTRA_EXERCISE_NAMES)
  if(name IN_LIST names)
    message(FATAL_ERROR "${where}: another folder has an exercise of that name")
  endif()
  set_property(GLOBAL APPEND PROPERTY PELTRA_EXERCISE_NAMES ${name})
  if(NOT arg_TESTS AND NOT arg_OUTPUTS AND NOT arg_CATCHES)
    message(FATAL_ERROR "${where}: give its checks (TESTS, OUTPUTS or CATCHES)")
  endif()
  if(arg_TESTS AND TARGET ${arg_LESSON})
    get_target_property(type ${arg_LESSON} TYPE)
    if(NOT type STREQUAL "OBJECT_LIBRARY")
      message(FATAL_ERROR "${where}: TESTS run against a module, and "
        "${arg_LESSON} is a ${type}")
    endif()
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 30)
  endif()

  set(missing "")
  foreach(need IN LISTS arg_NEEDS)
    if(NOT DEFINED _peltra_exercise_need_${need})
      message(FATAL_ERROR "${where}: NEEDS knows OpenCV and Eigen, not ${need}")
    endif()
    set(condition ${_peltra_exercise_need_${need}})
    list(POP_BACK condition package)
    if(NOT (${condition}))
      list(APPEND missing ${package})
    endif()
  endforeach()

  # The lesson's source that the starter stands in for, and the solution.
  if(arg_SOURCE)
    get_filename_component(lesson ${arg_SOURCE} ABSOLUTE)
  elseif(missing)
    set(lesson "-")
  elseif(NOT TARGET ${arg_LESSON})
    message(FATAL_ERROR "${where}: there is no target ${arg_LESSON}")
  else()
    # A check program's checks are compiled in a piece of their own
    # (peltra_add_check_program): the starter stands in for its source.
    set(source_target ${arg_LESSON})
    get_target_property(piece ${arg_LESSON} PELTRA_CHECKS)
    if(piece)
      set(source_target ${piece})
    endif()
    get_target_property(sources ${source_target} SOURCES)
    get_target_property(dir ${source_target} SOURCE_DIR)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    if(NOT count EQUAL 1)
      message(FATAL_ERROR "${where}: ${arg_LESSON} has ${count} sources; "
        "name the one the starter copies with SOURCE")
    endif()
    get_filename_component(lesson ${sources} ABSOLUTE BASE_DIR ${dir})
  endif()
  set(solution ${lesson})
  if(arg_SOLUTION)
    get_filename_component(solution ${arg_SOLUTION} ABSOLUTE)
  endif()

  foreach(text IN ITEMS TASK HINT)
    string(REGEX REPLACE "[\t\n ]+" " " arg_${text} "${arg_${text}}")
  endforeach()
  set(line "exercise")
  foreach(field IN ITEMS "${name}" "${starter}" "${solution}" "${lesson}")
    if(IS_ABSOLUTE "${field}")
      file(RELATIVE_PATH field ${PROJECT_SOURCE_DIR} "${field}")
    endif()
    string(APPEND line "\t${field}")
  endforeach()
  list(JOIN missing " " packages)
  if(NOT packages)
    set(packages "-")
  endif()
  string(APPEND line "\t${arg_TIMEOUT}\t${packages}\t${arg_TASK}\t${arg_HINT}\n")
  if(missing)
    set_property(GLOBAL APPEND_STRING PROPERTY PELTRA_EXERCISE_LINES "${line}")
    return()
  endif()

  # Each check once for the starter and once for the solution: a line of the
  # list with both programs, then what the check needs.
  set(checks "")
  foreach(variant IN ITEMS starter solution)
    set(target exercise_${name}_${variant})
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}/${variant})
    set(programs "")
    if(arg_TESTS)
      _peltra_exercise_copy(${arg_LESSON} ${target}_lesson ${lesson} ${${variant}})
      add_executable(${target}_tests)
      foreach(test IN LISTS arg_TESTS)
        if(TARGET ${test})
          target_link_libraries(${target}_tests PRIVATE ${test})
        else()
          target_sources(${target}_tests PRIVATE ${test})
        endif()
      endforeach()
      target_link_libraries(${target}_tests PRIVATE
        ${target}_lesson peltra_testing GTest::gtest_main $<BUILD_INTERFACE:peltra_options>)
      set_target_properties(${target}_tests PROPERTIES
        CXX_EXTENSIONS OFF OUTPUT_NAME ${name}_tests RUNTIME_OUTPUT_DIRECTORY ${out})
      list(APPEND programs ${target}_tests)
      list(APPEND checks "tests\t${name}\t$<TARGET_FILE:exercise_${name}_starter_tests>\t$<TARGET_FILE:exercise_${name}_solution_tests>\n")
    endif()
    foreach(test IN LISTS arg_OUTPUTS)
      get_property(output GLOBAL PROPERTY PELTRA_OUTPUT_TEST_${test})
      if(NOT output)
        message(FATAL_ERROR "${where}: there is no output test ${test} (declared before the exercises?)")
      endif()
      list(POP_FRONT output program expected exit_code check)
      if(check)
        message(FATAL_ERROR "${where}: ${test} has a CHECK script, which exercises do not run")
      endif()
      _peltra_exercise_copy(${program} ${target}_${program} ${lesson} ${${variant}})
      set_target_properties(${target}_${program} PROPERTIES
        OUTPUT_NAME ${program} RUNTIME_OUTPUT_DIRECTORY ${out})
      list(APPEND programs ${target}_${program})
      if(NOT expected)
        message(FATAL_ERROR "${where}: ${test} has no EXPECTED output to hold a program to")
      endif()
      file(RELATIVE_PATH expected ${PROJECT_SOURCE_DIR} ${expected})
      list(JOIN output "\t" arguments)
      list(APPEND checks "output\t${name}\t$<TARGET_FILE:exercise_${name}_starter_${program}>\t$<TARGET_FILE:exercise_${name}_solution_${program}>\t${program}\t${expected}\t${exit_code}\t${arguments}\n")
    endforeach()
    if(arg_CATCHES)
      # The student's checks compiled once, in place of the check program's
      # piece, then linked as the check program links it (with the real
      # component) and as each faulty program does (with its wrong one).
      get_target_property(piece ${arg_LESSON} PELTRA_CHECKS)
      if(NOT piece)
        message(FATAL_ERROR "${where}: CATCHES needs a check program made by "
          "peltra_add_check_program, and ${arg_LESSON} is not")
      endif()
      _peltra_exercise_copy(${piece} ${target}_checks ${lesson} ${${variant}})
      get_target_property(component ${arg_LESSON} PELTRA_CHECKS_COMPONENT)
      get_target_property(libs ${arg_LESSON} PELTRA_CHECKS_LIBS)
      foreach(program IN ITEMS ${arg_LESSON} ${arg_CATCHES})
        set(copy ${target}_${program})
        if(program STREQUAL arg_LESSON)
          set(kind passes)
          set(faulty -)
          add_executable(${copy})
          target_link_libraries(${copy} PRIVATE ${component})
        else()
          # What the faulty program is built from besides the checks.
          set(kind catches)
          get_target_property(sources ${program} SOURCES)
          get_target_property(dir ${program} SOURCE_DIR)
          set(faulty "")
          foreach(source IN LISTS sources)
            get_filename_component(source ${source} ABSOLUTE BASE_DIR ${dir})
            list(APPEND faulty ${source})
          endforeach()
          add_executable(${copy} ${faulty})
          target_include_directories(${copy} PRIVATE
            $<TARGET_PROPERTY:${component},INTERFACE_INCLUDE_DIRECTORIES>)
          list(TRANSFORM faulty REPLACE "^${PROJECT_SOURCE_DIR}/" "")
          list(JOIN faulty " " faulty)
        endif()
        target_link_libraries(${copy} PRIVATE ${target}_checks ${libs}
          $<BUILD_INTERFACE:peltra_options>)
        set_target_properties(${copy} PROPERTIES CXX_EXTENSIONS OFF
          OUTPUT_NAME ${program} RUNTIME_OUTPUT_DIRECTORY ${out})
        list(APPEND programs ${copy})
        list(APPEND checks "${kind}\t${name}\t$<TARGET_FILE:exercise_${name}_starter_${program}>\t$<TARGET_FILE:exercise_${name}_solution_${program}>\t${faulty}\n")
      endforeach()
    endif()
    add_custom_target(${target} DEPENDS ${programs})
    add_dependencies(exercises ${target})
  endforeach()
  # Both variants made the same lines: keep one of each.
  list(REMOVE_DUPLICATES checks)
  string(JOIN "" checks ${checks})
  set_property(GLOBAL APPEND_STRING PROPERTY PELTRA_EXERCISE_LINES "${line}${checks}")
endfunction()

# A copy of <target> named <copy>, built with <file> in place of its source
# <lesson>: the same kind of target, the same other sources, libraries,
# include directories and definitions. <file> may be an object library that
# holds it compiled; with ONLY, the copy is such an object library: <file>
# alone, compiled as <target> compiles its sources. The copy has no
# precompiled header, so that a starter that uses what it does not #include
# is told so, as it would be anywhere else.
function(_peltra_exercise_copy target copy lesson file)
  get_target_property(type ${target} TYPE)
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  set(copied "")
  set(found FALSE)
  foreach(source IN LISTS sources)
    get_filename_component(source ${source} ABSOLUTE BASE_DIR ${dir})
    if(source STREQUAL lesson)
      set(found TRUE)
      if(TARGET ${file})
        continue()
      endif()
      set(source ${file})
    endif()
    list(APPEND copied ${source})
  endforeach()
  if(NOT found)
    message(FATAL_ERROR "exercise: ${target} is not built from ${lesson}")
  endif()
  if(ARGV4 STREQUAL "ONLY")
    set(type OBJECT_LIBRARY)
    set(copied ${file})
  endif()
  if(type STREQUAL "EXECUTABLE")
    add_executable(${copy} ${copied})
  elseif(type STREQUAL "OBJECT_LIBRARY")
    add_library(${copy} OBJECT ${copied})
  else()
    message(FATAL_ERROR "exercise: ${target} is a ${type}; a lesson is a "
      "program or an object module")
  endif()
  foreach(property IN ITEMS LINK_LIBRARIES INTERFACE_LINK_LIBRARIES
      INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES COMPILE_DEFINITIONS
      INTERFACE_COMPILE_DEFINITIONS COMPILE_OPTIONS)
    get_target_property(value ${target} ${property})
    if(NOT "${value}" MATCHES "-NOTFOUND$")
      set_property(TARGET ${copy} PROPERTY ${property} "${value}")
    endif()
  endforeach()
  if(TARGET ${file})
    target_link_libraries(${copy} PRIVATE ${file})
  endif()
  # The starter sees the lesson's headers as the lesson's source does, and a
  # function that never returns its value is an error, not a warning.
  get_filename_component(lesson_dir ${lesson} DIRECTORY)
  target_include_directories(${copy} PRIVATE ${lesson_dir})
  target_compile_options(${copy} PRIVATE -Werror=return-type)
  set_target_properties(${copy} PROPERTIES CXX_EXTENSIONS OFF)
endfunction()

# Writes the list scripts/exercise reads once every folder has declared its
# exercises: one "exercise" line each (name, starter, solution, lesson,
# time-out, missing packages or "-", task, hint), then one line per check:
# its kind, the exercise, the programs built from the starter and from the
# solution, and for an output the program's name, the expected output, the
# exit status and the arguments; for a faulty component what it is built of.
function(_peltra_write_exercises)
  get_property(lines GLOBAL PROPERTY PELTRA_EXERCISE_LINES)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/exercises.tsv CONTENT "${lines}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _peltra_write_exercises)
