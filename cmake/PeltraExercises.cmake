# Exercises: a student writes the key part of a lesson in a starter file, and
# the lesson's own tests say whether it is right. Every exercise is declared
# once, in exercises.json at the top of the tree, in course order; this file
# reads it in the exercises' own build (preset "exercises",
# -DPELTRA_EXERCISES=ON, in build/exercises), once every folder has declared
# its targets, so that work in progress never turns the project's tests red.
# scripts/exercise drives that build and reads what this file writes into it
# (exercises_manifest.json): the programs built per exercise and variant.
#
# exercises.json:
#   format_version  1
#   course          the course's name
#   welcome, final  texts shown before the first exercise and after the last
#   edition         optional: "handout" in the student's edition that
#                   `./scripts/exercise handout` writes, where an exercise has
#                   no solution and its starter may be its lesson's own file
#                   (which holds the starter there); only starters are built
#   exercises       in course order, each an object:
#     name          unique; letters, digits and _ (it names targets too)
#     starter       <folder>/exercises/<name>.cpp (or .h for a header lesson):
#                   the lesson's file with the gap cut out
#     lesson        the lesson's file the starter was cut from; the student
#                   compares with it once done. A header (.h) works too: every
#                   target of the checks that is compiled here is compiled
#                   again with the starter included first (-include), so that
#                   its include guard keeps the lesson's header out
#     target        the CMake target built from the lesson: an object module
#                   for "tests" (or a header-only one for a header lesson), a
#                   program for "outputs", a check program
#                   (peltra_add_check_program) for "catches" and "passes"
#     solution      optional; default the lesson (in <folder>/exercises/
#                   solutions/ where the exercise goes beyond its lesson)
#     checks        {"tests": [object libraries of GoogleTest tests, other
#                   targets or sources, linked into one test program with the
#                   student's module; a test may check as it compiles too: a
#                   static_assert of a test that fails is a failing check, its
#                   message the verdict's words], "outputs": [output tests, as
#                   peltra_add_output_test names them: the program built from
#                   the student's file (or linked with the student's module,
#                   where the program links the lesson's) must print what the
#                   test expects, byte for byte, and end as it expects],
#                   "catches": [faulty check programs (peltra_add_faulty_checks)
#                   that the student's checks must fail on; they must pass on
#                   the real component], "passes": [check programs of the same
#                   kind built with a component that is off only as far as the
#                   checks allow: the student's checks must pass on each, so
#                   that a check stricter than it should be fails]}
#     needs         optional: ["OpenCV"], ["Eigen"]; without them the exercise
#                   is left out, with the line that installs them. (An
#                   exercise whose files, targets or output tests are not in
#                   the tree is left out too, with a warning that names what
#                   is missing: verify fails on it.)
#     timeout       optional: seconds a check program may run (30)
#     task, hint, teaches
#                   texts: what to write (two to four lines), the idea but not
#                   the code, and what the exercise taught (shown once done)
#     wrong         classic wrong answers, three at least, each {"name": what
#                   the student wrote, in a few words, "replace": text that
#                   occurs exactly once in the solution, "with": the wrong
#                   text}; `./scripts/exercise verify` applies each to the
#                   solution and requires "not yet"
#     starter_says  optional: words the verdict on the untouched starter must
#                   contain (verify checks them)
#
# Each exercise is built in three variants, each its own target
# exercise_<name>_<variant>: "starter" (the student's file), "solution" and
# "trial", whose file verify writes into this build (the solution, then each
# wrong answer applied to it). What the checks need of the lesson is built
# again per variant with the variant's file in the lesson's place, with the
# sanitizers of the preset (address, undefined) and the project's warnings.
# The preset compiles with -Og -g1: the line tables a sanitizer's report
# needs, and flow warnings still work, at about half the compile time of
# -O1 -g (intercept/tracker.cpp, which includes Eigen: 8.7 s of CPU against
# 19.2 s, one run each of its compile command from build/exercises with
# either pair of options, on a busy machine).
# The variants' own compiles and links run through launcher.py, which keeps
# the compiler's diagnostics as JSON beside each object file, so that the
# tool reads them as data; their test programs link a listener that writes
# each test's start, failures and end (testing/test_events.h).
#
# How to add an exercise: copy the lesson's file to the starter, take out the
# body of the key function (keep a return statement, so that it compiles),
# say at the gap in a sentence or two what to write, and leave the rest as it
# is, so that `./scripts/exercise solution <name>` shows just the gap; add
# its entry to exercises.json in course order; then `./scripts/exercise
# verify <name>` must pass.

if(NOT BUILD_TESTING)
  message(FATAL_ERROR "The exercises are checked by the lessons' tests: "
    "configure with BUILD_TESTING on.")
endif()
find_package(Python3 COMPONENTS Interpreter REQUIRED)

# The optional packages an exercise may need: how this build knows that it
# has one, and the Debian package that brings it (as scripts/deps installs it).
set(_peltra_exercise_need_OpenCV "OpenCV_FOUND" libopencv-dev)
set(_peltra_exercise_need_Eigen "TARGET;Eigen3::Eigen" libeigen3-dev)
# The exercises are declared at the top, where a folder's imported targets
# are not seen: look for Eigen here too (the folder that uses it finds the
# same one).
find_package(Eigen3 3.3 NO_MODULE QUIET)

# Builds every starter and every solution.
add_custom_target(exercises)

set(_peltra_exercise_declaration "${PROJECT_SOURCE_DIR}/exercises.json")
set(_peltra_exercise_launcher
  "${Python3_EXECUTABLE}" "${PROJECT_SOURCE_DIR}/scripts/exercise_tool/launcher.py")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY
  CMAKE_CONFIGURE_DEPENDS "${_peltra_exercise_declaration}")

# <text> as a JSON string, quotes included. A generator expression in it
# stays as it is, for file(GENERATE) to evaluate.
function(_peltra_json_string out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  string(REPLACE "\t" "\\t" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# A JSON array of strings from a CMake list.
function(_peltra_json_strings out)
  set(items "")
  foreach(item IN LISTS ARGN)
    _peltra_json_string(item "${item}")
    list(APPEND items "${item}")
  endforeach()
  list(JOIN items ", " items)
  set(${out} "[${items}]" PARENT_SCOPE)
endfunction()

# The strings of the JSON array at <path...> of <json>, as a list; empty
# where there is no such member.
function(_peltra_json_list out json)
  set(items "")
  string(JSON count ERROR_VARIABLE missing LENGTH "${json}" ${ARGN})
  if(NOT missing AND count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON item GET "${json}" ${ARGN} ${i})
      list(APPEND items "${item}")
    endforeach()
  endif()
  set(${out} "${items}" PARENT_SCOPE)
endfunction()

# The string member <key> of <json>, or <default> where it has none.
function(_peltra_json_member out json key default)
  string(JSON value ERROR_VARIABLE missing GET "${json}" ${key})
  if(missing)
    set(value "${default}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# A copy of <target> named <copy>, compiled with the student's <file> in
# place of the lesson's <lesson>: the same kind of target (an object module or
# a program), the same other sources, libraries, include directories and
# definitions. For a header lesson every source stays and <file> is
# included first. With MODULE <module> <module copy>, a copy that links the
# lesson's module links its copy instead (a program that shows the lesson's
# module at work). The copy has no precompiled header, so that a starter that
# uses what it does not #include is told so, as it would be anywhere else;
# its compiles and links keep their diagnostics for the tool (launcher.py).
function(_peltra_exercise_copy target copy lesson file)
  cmake_parse_arguments(PARSE_ARGV 4 arg "" "" "MODULE")
  get_target_property(type ${target} TYPE)
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  set(header FALSE)
  if(lesson MATCHES "\\.(h|hh|hpp)$")
    set(header TRUE)
  endif()
  set(copied "")
  foreach(source IN LISTS sources)
    get_filename_component(source ${source} ABSOLUTE BASE_DIR ${dir})
    if(source STREQUAL lesson)
      if(header)
        continue()
      endif()
      set(source ${file})
    endif()
    list(APPEND copied ${source})
  endforeach()
  if(type STREQUAL "EXECUTABLE")
    add_executable(${copy} ${copied})
  else()
    add_library(${copy} OBJECT ${copied})
  endif()
  foreach(property IN ITEMS LINK_LIBRARIES INTERFACE_LINK_LIBRARIES
      INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES COMPILE_DEFINITIONS
      INTERFACE_COMPILE_DEFINITIONS COMPILE_OPTIONS)
    get_target_property(value ${target} ${property})
    if(NOT "${value}" MATCHES "-NOTFOUND$")
      set_property(TARGET ${copy} PROPERTY ${property} "${value}")
    endif()
  endforeach()
  if(arg_MODULE)
    list(GET arg_MODULE 0 module)
    list(GET arg_MODULE 1 module_copy)
    _peltra_exercise_links(libs ${copy})
    list(FIND libs ${module} at)
    if(at GREATER -1)
      list(REMOVE_AT libs ${at})
      list(INSERT libs ${at} ${module_copy})
      set_property(TARGET ${copy} PROPERTY LINK_LIBRARIES "${libs}")
    endif()
  endif()
  # The starter sees the lesson's headers as the lesson's file does, and a
  # function that never returns its value is an error, not a warning.
  get_filename_component(lesson_dir ${lesson} DIRECTORY)
  target_include_directories(${copy} PRIVATE ${lesson_dir})
  target_compile_options(${copy} PRIVATE -Werror=return-type)
  if(header)
    target_compile_options(${copy} PRIVATE "SHELL:-include ${file}")
  endif()
  _peltra_exercise_launch(${copy})
endfunction()

# The libraries <target> links itself, each alias as the target it names.
function(_peltra_exercise_links out target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  set(named "")
  foreach(lib IN LISTS libs)
    if(TARGET "${lib}")
      get_target_property(aliased ${lib} ALIASED_TARGET)
      if(aliased)
        set(lib ${aliased})
      endif()
    endif()
    list(APPEND named "${lib}")
  endforeach()
  set(${out} "${named}" PARENT_SCOPE)
endfunction()

# <target>'s compiles, and its link where it is a program, through the
# launcher that keeps their diagnostics.
function(_peltra_exercise_launch target)
  set(launcher ${_peltra_exercise_launcher} compile ${CMAKE_CXX_COMPILER_LAUNCHER})
  set_target_properties(${target} PROPERTIES
    CXX_EXTENSIONS OFF CXX_COMPILER_LAUNCHER "${launcher}")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set_target_properties(${target} PROPERTIES
      CXX_LINKER_LAUNCHER "${_peltra_exercise_launcher};link")
  endif()
endfunction()

# Checks that a student writes are a GoogleTest file, and parsing
# <gtest/gtest.h> is half of its compile: <copy> loads it precompiled, alone
# (no other header, so that a file that uses what it does not #include is
# still told so: the student's file includes <gtest/gtest.h> itself).
function(_peltra_exercise_gtest_pch copy)
  set(maker peltra_exercise_pch_gtest)
  if(NOT TARGET ${maker})
    set(source ${CMAKE_BINARY_DIR}/${maker}.cpp)
    file(CONFIGURE OUTPUT ${source}
      CONTENT "// Compiled for a precompiled header only.\n")
    add_library(${maker} OBJECT ${source})
    # The options of the copies that load it: GCC uses it only where they
    # are the same.
    target_link_libraries(${maker} PRIVATE GTest::gtest $<BUILD_INTERFACE:peltra_options>)
    set_target_properties(${maker} PROPERTIES CXX_EXTENSIONS OFF)
    target_compile_options(${maker} PRIVATE
      "$<$<CONFIG:RelWithDebInfo,Release>:-Og;-g1>" -Werror=return-type)
    target_precompile_headers(${maker} PRIVATE <gtest/gtest.h>)
    _peltra_ccache_with_pch(${maker})
  endif()
  target_precompile_headers(${copy} REUSE_FROM ${maker})
  if(_peltra_ccache_with_pch)
    set_target_properties(${copy} PROPERTIES CXX_COMPILER_LAUNCHER
      "${_peltra_exercise_launcher};compile;${_peltra_ccache_with_pch}")
  endif()
endfunction()

# A program of a variant, in the variant's folder, named <name>; linked with
# gold where the compiler can use it, as the project's own programs are
# (PeltraBuildSpeed.cmake): a check links again after every save.
function(_peltra_exercise_program target name out)
  _peltra_exercise_launch(${target})
  target_link_libraries(${target} PRIVATE peltra_test_events
    $<BUILD_INTERFACE:peltra_options>)
  if(PELTRA_LINKS_WITH_GOLD)
    target_link_options(${target} PRIVATE -fuse-ld=gold)
  endif()
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${out})
endfunction()

# Declares one variant of the exercise <name> (see the top of this file) and
# appends its entry to the manifest text in the variable <text>: <file> is
# the file that stands in for the lesson. The exercise's fields are those of
# the caller, _peltra_declare_exercises (lesson, lesson_target, tests,
# outputs, catches, passes), which has found them sound.
function(_peltra_exercise_variant text name variant file)
  set(target exercise_${name}_${variant})
  set(out ${CMAKE_BINARY_DIR}/programs/${name}/${variant})
  set(programs "")
  set(copies "")
  set(checks "")
  set(check_files "")
  set(header FALSE)
  if(lesson MATCHES "\\.(h|hh|hpp)$")
    set(header TRUE)
  endif()

  # The lesson's module with the student's file, which the tests link, and
  # so does a program of an output check that links the lesson's module.
  set(module "")
  get_target_property(type ${lesson_target} TYPE)
  if(type STREQUAL "OBJECT_LIBRARY")
    _peltra_exercise_copy(${lesson_target} ${target}_lesson ${lesson} ${file})
    list(APPEND copies ${target}_lesson)
    set(module MODULE ${lesson_target} ${target}_lesson)
  endif()

  if(tests)
    # The lesson's module, and for a header lesson every object module of
    # the tests, which may include it.
    set(linked "")
    if(module)
      list(APPEND linked ${target}_lesson)
    endif()
    foreach(test IN LISTS tests)
      if(TARGET ${test})
        # A module of GoogleTest tests: its sources are the checks' own, and
        # an error there, such as a static_assert that fails, a check.
        get_target_property(test_libs ${test} LINK_LIBRARIES)
        if("${test_libs}" MATCHES "GTest::")
          get_target_property(sources ${test} SOURCES)
          get_target_property(dir ${test} SOURCE_DIR)
          foreach(source IN LISTS sources)
            get_filename_component(source ${source} ABSOLUTE BASE_DIR ${dir})
            list(APPEND check_files ${source})
          endforeach()
        endif()
        get_target_property(test_type ${test} TYPE)
        if(header AND test_type STREQUAL "OBJECT_LIBRARY")
          _peltra_exercise_copy(${test} ${target}_${test} ${lesson} ${file})
          list(APPEND copies ${target}_${test})
          list(APPEND linked ${target}_${test})
        else()
          list(APPEND linked ${test})
        endif()
      else()
        get_filename_component(test ${test} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
        list(APPEND linked ${test})
        list(APPEND check_files ${test})
      endif()
    endforeach()
    add_executable(${target}_tests)
    foreach(item IN LISTS linked)
      if(TARGET ${item})
        target_link_libraries(${target}_tests PRIVATE ${item})
      else()
        target_sources(${target}_tests PRIVATE ${item})
      endif()
    endforeach()
    target_link_libraries(${target}_tests PRIVATE peltra_testing GTest::gtest_main)
    _peltra_exercise_program(${target}_tests ${name}_tests ${out})
    list(APPEND programs ${target}_tests)
    list(APPEND checks "{\"kind\": \"tests\", \"name\": \"${name}_tests\", \"program\": \"$<TARGET_FILE:${target}_tests>\"}")
  endif()

  foreach(test IN LISTS outputs)
    get_property(output GLOBAL PROPERTY PELTRA_OUTPUT_TEST_${test})
    list(POP_FRONT output program expected exit_code check)
    _peltra_exercise_copy(${program} ${target}_${program} ${lesson} ${file} ${module})
    _peltra_exercise_program(${target}_${program} ${program} ${out})
    list(APPEND copies ${target}_${program})
    list(APPEND programs ${target}_${program})
    _peltra_json_string(expected "${expected}")
    _peltra_json_strings(arguments ${output})
    list(APPEND checks "{\"kind\": \"output\", \"name\": \"${test}\", \"program\": \"$<TARGET_FILE:${target}_${program}>\", \"expected\": ${expected}, \"exit_code\": ${exit_code}, \"args\": ${arguments}}")
  endforeach()

  if(catches OR passes)
    # The student's checks compiled once, in place of the check program's
    # piece, then linked as the check program links it (with the real
    # component) and as each faulty program does (with its wrong one, or
    # one off only as far as the checks allow, on which they must pass).
    get_target_property(piece ${lesson_target} PELTRA_CHECKS)
    _peltra_exercise_copy(${piece} ${target}_checks ${lesson} ${file})
    _peltra_exercise_gtest_pch(${target}_checks)
    list(APPEND copies ${target}_checks)
    get_target_property(component ${lesson_target} PELTRA_CHECKS_COMPONENT)
    get_target_property(libs ${lesson_target} PELTRA_CHECKS_LIBS)
    foreach(program IN ITEMS ${lesson_target} ${catches} ${passes})
      set(copy ${target}_${program})
      set(kind passes)
      if(program IN_LIST catches)
        set(kind catches)
      endif()
      set(faulty "")
      if(program STREQUAL lesson_target)
        add_executable(${copy})
        target_link_libraries(${copy} PRIVATE ${component})
      else()
        get_target_property(sources ${program} SOURCES)
        get_target_property(dir ${program} SOURCE_DIR)
        foreach(source IN LISTS sources)
          get_filename_component(source ${source} ABSOLUTE BASE_DIR ${dir})
          list(APPEND faulty ${source})
        endforeach()
        add_executable(${copy} ${faulty})
        target_include_directories(${copy} PRIVATE
          $<TARGET_PROPERTY:${component},INTERFACE_INCLUDE_DIRECTORIES>)
      endif()
      target_link_libraries(${copy} PRIVATE ${target}_checks ${libs})
      _peltra_exercise_program(${copy} ${program} ${out})
      list(APPEND programs ${copy})
      _peltra_json_strings(faulty ${faulty})
      list(APPEND checks "{\"kind\": \"${kind}\", \"name\": \"${program}\", \"program\": \"$<TARGET_FILE:${copy}>\", \"faulty\": ${faulty}}")
    endforeach()
  endif()

  add_custom_target(${target})
  add_dependencies(${target} ${programs})
  if(NOT variant STREQUAL "trial")
    add_dependencies(exercises ${target})
  endif()

  # Where the tool finds what this variant built: the object files that hold
  # the student's code (each with its diagnostics beside it), the programs
  # (each with its link's), the checks in the order they run, and the
  # tests' own sources.
  set(objects "")
  foreach(copy IN LISTS copies)
    list(APPEND objects "$<TARGET_OBJECTS:${copy}>")
  endforeach()
  set(linked "")
  foreach(program IN LISTS programs)
    list(APPEND linked "$<TARGET_FILE:${program}>")
  endforeach()
  list(JOIN objects "$<SEMICOLON>" objects)
  list(JOIN linked "$<SEMICOLON>" linked)
  list(JOIN checks ", " checks)
  list(JOIN check_files "$<SEMICOLON>" check_files)
  _peltra_json_string(file_json "${file}")
  _peltra_json_string(check_files "${check_files}")
  string(APPEND ${text} "      \"${variant}\": {\"target\": \"${target}\", \"file\": ${file_json}, "
    "\"objects\": \"${objects}\", \"programs\": \"${linked}\", \"checks\": [${checks}], "
    "\"check_files\": ${check_files}},\n")
  set(${text} "${${text}}" PARENT_SCOPE)
endfunction()

# What is wrong with the exercise's declaration in this tree (a file, a
# target or an output test that is not there), or empty. Reads the fields
# of the caller, _peltra_declare_exercises.
function(_peltra_exercise_problem out)
  set(problem "")
  foreach(key IN ITEMS starter lesson solution)
    if(NOT problem AND NOT EXISTS "${${key}}")
      file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} "${${key}}")
      set(problem "its ${key} ${path} does not exist")
    endif()
  endforeach()
  if(NOT problem AND NOT tests AND NOT outputs AND NOT catches AND NOT passes)
    set(problem "it has no checks (tests, outputs, catches or passes)")
  endif()
  if(NOT problem AND NOT TARGET ${lesson_target})
    set(problem "there is no target ${lesson_target}")
  endif()
  if(problem)
    set(${out} "${problem}" PARENT_SCOPE)
    return()
  endif()
  get_target_property(type ${lesson_target} TYPE)
  set(programs "")
  set(output_programs "")
  foreach(test IN LISTS outputs)
    get_property(output GLOBAL PROPERTY PELTRA_OUTPUT_TEST_${test})
    list(POP_FRONT output program expected exit_code check)
    if(NOT program)
      set(problem "there is no output test ${test}")
    elseif(check)
      set(problem "the output test ${test} has a CHECK script, which exercises do not run")
    elseif(NOT expected)
      set(problem "the output test ${test} has no EXPECTED output to hold a program to")
    endif()
    list(APPEND programs ${program})
    list(APPEND output_programs ${program})
  endforeach()
  foreach(test IN LISTS tests)
    if(NOT TARGET ${test} AND NOT EXISTS ${PROJECT_SOURCE_DIR}/${test})
      set(problem "its test ${test} is neither a target nor a file")
    endif()
  endforeach()
  if(tests AND NOT type MATCHES "OBJECT_LIBRARY|INTERFACE_LIBRARY")
    set(problem "tests run against a module, and ${lesson_target} is a ${type}")
  endif()
  if(catches OR passes)
    get_target_property(piece ${lesson_target} PELTRA_CHECKS)
    if(NOT piece)
      set(problem "catches and passes need a check program made by peltra_add_check_program, and ${lesson_target} is not")
    else()
      list(APPEND programs ${piece})
    endif()
    foreach(program IN LISTS catches passes)
      if(NOT TARGET ${program})
        set(problem "there is no check program ${program}")
      endif()
    endforeach()
  endif()
  if(tests AND type STREQUAL "OBJECT_LIBRARY")
    list(APPEND programs ${lesson_target})
  endif()
  # A source lesson is replaced where it is compiled: it must be there, or
  # for an output check's program in the lesson's module that it links.
  if(NOT problem AND NOT lesson MATCHES "\\.(h|hh|hpp)$")
    foreach(program IN LISTS programs)
      get_target_property(sources ${program} SOURCES)
      get_target_property(dir ${program} SOURCE_DIR)
      set(found FALSE)
      foreach(source IN LISTS sources)
        get_filename_component(source ${source} ABSOLUTE BASE_DIR ${dir})
        if(source STREQUAL lesson)
          set(found TRUE)
        endif()
      endforeach()
      if(program IN_LIST output_programs AND type STREQUAL "OBJECT_LIBRARY")
        _peltra_exercise_links(libs ${program})
        if(lesson_target IN_LIST libs)
          set(found TRUE)
        endif()
      endif()
      if(NOT found)
        file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} "${lesson}")
        set(problem "${program} is not built from its lesson ${path}")
      endif()
    endforeach()
  endif()
  set(${out} "${problem}" PARENT_SCOPE)
endfunction()

# Reads exercises.json and declares every exercise's variants, then writes
# the manifest the tool reads: per exercise the packages it lacks (left out)
# or its variants.
function(_peltra_declare_exercises)
  file(READ "${_peltra_exercise_declaration}" declaration)
  string(JSON version GET "${declaration}" format_version)
  if(NOT version EQUAL 1)
    message(FATAL_ERROR "exercises.json: format_version ${version}; this build reads 1")
  endif()
  # The student's edition holds no solutions: only the starters are built.
  _peltra_json_member(edition "${declaration}" edition "")
  set(variants starter solution trial)
  if(edition STREQUAL "handout")
    set(variants starter)
  endif()
  string(JSON count LENGTH "${declaration}" exercises)
  set(manifest "{\n  \"format_version\": 1,\n  \"exercises\": {\n")
  set(names "")
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON exercise GET "${declaration}" exercises ${i})
    string(JSON name GET "${exercise}" name)
    set(where "exercises.json: exercise ${name}")
    if(NOT name MATCHES "^[A-Za-z0-9_]+$")
      message(FATAL_ERROR "${where}: a name has only letters, digits and _")
    endif()
    if(name IN_LIST names)
      message(FATAL_ERROR "${where}: another exercise has that name")
    endif()
    list(APPEND names ${name})
    foreach(key IN ITEMS starter lesson target)
      string(JSON ${key} GET "${exercise}" ${key})
    endforeach()
    set(lesson_target ${target})
    _peltra_json_member(solution "${exercise}" solution "${lesson}")
    foreach(key IN ITEMS starter lesson solution)
      get_filename_component(${key} "${${key}}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    endforeach()
    foreach(kind IN ITEMS tests outputs catches passes)
      _peltra_json_list(${kind} "${exercise}" checks ${kind})
    endforeach()

    _peltra_json_list(needs "${exercise}" needs)
    set(missing "")
    foreach(need IN LISTS needs)
      if(NOT DEFINED _peltra_exercise_need_${need})
        message(FATAL_ERROR "${where}: needs knows OpenCV and Eigen, not ${need}")
      endif()
      set(condition ${_peltra_exercise_need_${need}})
      list(POP_BACK condition package)
      if(NOT (${condition}))
        list(APPEND missing ${package})
      endif()
    endforeach()
    if(missing)
      _peltra_json_strings(missing ${missing})
      string(APPEND manifest "    \"${name}\": {\"left_out\": ${missing}},\n")
      continue()
    endif()
    # An exercise whose files or targets are gone (a lesson changed under
    # it) is left out and named, while every other one still builds.
    _peltra_exercise_problem(problem)
    if(problem)
      message(WARNING "${where}: ${problem}; it is left out of this build.")
      _peltra_json_string(problem "${problem}")
      string(APPEND manifest "    \"${name}\": {\"left_out\": [], \"broken\": ${problem}},\n")
      continue()
    endif()

    # The trial's file starts as the solution; verify writes it anew.
    get_filename_component(base ${solution} NAME)
    set(trial ${CMAKE_BINARY_DIR}/trials/${name}/${base})
    if("trial" IN_LIST variants AND NOT EXISTS ${trial})
      file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/trials/${name})
      file(COPY_FILE ${solution} ${trial})
    endif()
    string(APPEND manifest "    \"${name}\": {\"left_out\": [], \"variants\": {\n")
    foreach(variant IN LISTS variants)
      set(file ${${variant}})
      _peltra_exercise_variant(manifest ${name} ${variant} ${file})
    endforeach()
    string(REGEX REPLACE ",\n$" "\n" manifest "${manifest}")
    string(APPEND manifest "    }},\n")
  endforeach()
  string(REGEX REPLACE ",\n$" "\n" manifest "${manifest}")
  string(APPEND manifest "  }\n}\n")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/exercises_manifest.json CONTENT "${manifest}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _peltra_declare_exercises)
