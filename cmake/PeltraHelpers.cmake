# The few CMake functions every folder uses, so that a program, an object
# module, a test or a tour step is declared the same way everywhere:
#
#   peltra_add_program(<name> SOURCES ... [LIBS ...])
#   peltra_add_library(<name> OBJECT|STATIC|SHARED [INTERNAL] SOURCES ... [HEADERS ...] [LIBS ...])
#   peltra_add_gtest(<name> SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT <seconds>])
#   peltra_add_output_test(<program> [NAME <test>] [EXPECTED <file>] [CHECK <script>]
#                          [EXIT_CODE <code>] [WORKING_DIRECTORY <dir>] [ARGS ...] [LABELS ...]
#                          [TIMEOUT <seconds>])
#   peltra_add_report_test(<check program> [EXIT_CODE <code>])
#   peltra_add_check_program(<name> SOURCE <file> COMPONENT <library> [LIBS ...])
#   peltra_add_faulty_checks(<name> CHECKS <check program> SOURCES ... [EXIT_CODE 0])
#   peltra_add_tour_step(<heading> RUN <README line> [EXIT_CODE <code>] [WAITS_FOR_KEY]
#                        [LEFT_OUT <what is missing>])
#   peltra_add_modules_test()

include(GoogleTest)
include(PeltraBuildSpeed)

# Every target links this (PRIVATE, build tree only): C++17, the warnings,
# and the sanitizers of the preset.
add_library(peltra_options INTERFACE)
target_compile_features(peltra_options INTERFACE cxx_std_17)
target_compile_options(peltra_options INTERFACE
  -Wall -Wextra -Wpedantic
  $<$<BOOL:${PELTRA_WERROR}>:-Werror>)
if(PELTRA_SANITIZE)
  target_compile_options(peltra_options INTERFACE
    -fsanitize=${PELTRA_SANITIZE} -fno-omit-frame-pointer)
  target_link_options(peltra_options INTERFACE -fsanitize=${PELTRA_SANITIZE})
  if(PELTRA_SANITIZE MATCHES "undefined")
    # Stop at the first report instead of printing it and going on.
    target_compile_options(peltra_options INTERFACE -fno-sanitize-recover=all)
  endif()
endif()

# Every test is stopped after this many seconds unless it says otherwise
# (TIMEOUT): far above what a test takes (a few seconds at most), and short
# enough that a wait which never wakes fails within a minute as a time-out
# instead of sitting silent. (The test presets stop the few tests declared
# without these helpers after 60 seconds.)
set(PELTRA_TEST_TIMEOUT 30)

set(_peltra_runner "${CMAKE_CURRENT_LIST_DIR}/RunOutputTest.cmake")
set(_peltra_report_filter "${CMAKE_CURRENT_LIST_DIR}/GTestReportEssentials.cmake")

function(_peltra_defaults target)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:peltra_options>)
endfunction()

# A program of the project, built from SOURCES and linked with LIBS.
function(peltra_add_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBS")
  add_executable(${name} ${arg_SOURCES})
  _peltra_defaults(${name})
  target_link_libraries(${name} PRIVATE ${arg_LIBS})
  _peltra_build_speed(${name})
endfunction()

# A library that others build against: an OBJECT module, a STATIC stand-in, a
# SHARED library or an INTERFACE one (HEADERS only, nothing to compile). Its
# folder is its include directory in the tree; it is installed with its
# HEADERS under include/peltra/ (a program outside says
# #include <peltra/radar.h>) and exported as Peltra::<name>, unless it is
# INTERNAL: a piece the project's own programs and tests share, never
# installed. An installed library also gets a pkg-config file (see
# peltra_install_package).
function(peltra_add_library name kind)
  cmake_parse_arguments(PARSE_ARGV 2 arg "INTERNAL" "" "SOURCES;HEADERS;LIBS")
  if(kind STREQUAL "INTERFACE")
    # Nothing of its own is compiled: what links it compiles its headers.
    add_library(${name} INTERFACE ${arg_HEADERS})
    target_link_libraries(${name} INTERFACE ${arg_LIBS})
    set(scope INTERFACE)
  else()
    add_library(${name} ${kind} ${arg_SOURCES})
    _peltra_defaults(${name})
    target_link_libraries(${name} PUBLIC ${arg_LIBS})
    _peltra_build_speed(${name})
    set(scope PUBLIC)
  endif()
  if(arg_INTERNAL)
    target_include_directories(${name} ${scope} ${CMAKE_CURRENT_SOURCE_DIR})
    return()
  endif()
  add_library(Peltra::${name} ALIAS ${name})
  target_include_directories(${name} ${scope}
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  install(TARGETS ${name} EXPORT PeltraTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    OBJECTS DESTINATION ${CMAKE_INSTALL_LIBDIR}/peltra)
  install(FILES ${arg_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/peltra)
  set_property(GLOBAL APPEND PROPERTY PELTRA_INSTALLED ${name})
  set_property(TARGET ${name} PROPERTY PELTRA_LIBS ${arg_LIBS})
endfunction()

# A GoogleTest executable with GoogleTest's main and the shared test helpers
# (testing/); each TEST becomes a CTest test. Discovery runs at test time, so sanitizer builds list their tests in
# the environment the test preset sets up.
function(peltra_add_gtest name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "SOURCES;LIBS;LABELS")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT ${PELTRA_TEST_TIMEOUT})
  endif()
  add_executable(${name} ${arg_SOURCES})
  _peltra_defaults(${name})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} peltra_testing GTest::gtest_main)
  _peltra_build_speed(${name})
  # (The list of properties loses an empty value, so LABELS only when given.)
  set(properties TIMEOUT ${arg_TIMEOUT})
  if(arg_LABELS)
    list(APPEND properties LABELS "${arg_LABELS}")
  endif()
  # Each test writes its own XML report, where scripts/test reads how it
  # failed (a bounded wait that gave up records a property, bounded_wait.h).
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    XML_OUTPUT_DIR ${CMAKE_BINARY_DIR}/Testing/gtest
    PROPERTIES ${properties})
endfunction()

# Runs <program> (a target) and hands its standard output to the CMake script
# CHECK (which sees OUTPUT, fails with message(FATAL_ERROR) or takes out what
# varies), then compares it byte for byte with the file EXPECTED; the exit
# status must be EXIT_CODE (0 unless given; as the shell sees it, so -1 is 255).
function(peltra_add_output_test program)
  cmake_parse_arguments(PARSE_ARGV 1 arg ""
    "NAME;EXPECTED;CHECK;EXIT_CODE;WORKING_DIRECTORY;TIMEOUT" "ARGS;LABELS")
  if(NOT arg_NAME)
    set(arg_NAME ${program}.output)
  endif()
  if(NOT DEFINED arg_EXIT_CODE)
    set(arg_EXIT_CODE 0)
  endif()
  if(NOT arg_WORKING_DIRECTORY)
    set(arg_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT ${PELTRA_TEST_TIMEOUT})
  endif()
  foreach(file IN ITEMS EXPECTED CHECK)
    if(arg_${file})
      get_filename_component(arg_${file} "${arg_${file}}" ABSOLUTE)
    endif()
  endforeach()

  add_test(NAME ${arg_NAME}
    COMMAND ${CMAKE_COMMAND}
      "-DPROGRAM=$<TARGET_FILE:${program}>"
      "-DNAME=${arg_NAME}"
      "-DARGS=${arg_ARGS}"
      "-DEXPECTED=${arg_EXPECTED}"
      "-DCHECK=${arg_CHECK}"
      "-DEXIT_CODE=${arg_EXIT_CODE}"
      -P ${_peltra_runner}
    WORKING_DIRECTORY ${arg_WORKING_DIRECTORY})
  set_tests_properties(${arg_NAME} PROPERTIES
    LABELS "${arg_LABELS}" TIMEOUT ${arg_TIMEOUT})
  # An exercise (PeltraExercises.cmake) holds a student's program to this test.
  set_property(GLOBAL PROPERTY PELTRA_OUTPUT_TEST_${arg_NAME}
    ${program} "${arg_EXPECTED}" ${arg_EXIT_CODE} "${arg_CHECK}" ${arg_ARGS})
endfunction()

# Runs a GoogleTest check program and compares what its report teaches with
# expected/<program>.txt: the tests in order with their outcome, each failure
# with the file it names and the expressions it quotes, and the summary (see
# GTestReportEssentials.cmake). GoogleTest's banners and wording around them
# are left out, so another GoogleTest release reads the same.
function(peltra_add_report_test program)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "EXIT_CODE" "")
  if(NOT DEFINED arg_EXIT_CODE)
    set(arg_EXIT_CODE 0)
  endif()
  peltra_add_output_test(${program}
    EXPECTED expected/${program}.txt
    CHECK ${_peltra_report_filter}
    EXIT_CODE ${arg_EXIT_CODE}
    ARGS --gtest_print_time=0 --gtest_color=no)
endfunction()

# A GoogleTest check program with a main of its own, so it links GTest::gtest
# rather than gtest_main: its SOURCE checks the library COMPONENT, with LIBS
# besides. The source is compiled once, as an internal piece named after its
# file, which peltra_add_faulty_checks also links with a wrong component.
function(peltra_add_check_program name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SOURCE;COMPONENT" "LIBS")
  file(RELATIVE_PATH piece ${PROJECT_SOURCE_DIR}
    ${CMAKE_CURRENT_SOURCE_DIR}/${arg_SOURCE})
  string(REGEX REPLACE "\\.cpp$" "" piece "${piece}")
  string(REPLACE "/" "_" piece "${piece}")
  set(libs ${arg_LIBS} GTest::gtest)
  peltra_add_library(${piece} OBJECT INTERNAL
    SOURCES ${arg_SOURCE}
    LIBS ${libs})
  target_include_directories(${piece} PRIVATE
    $<TARGET_PROPERTY:${arg_COMPONENT},INTERFACE_INCLUDE_DIRECTORIES>)
  peltra_add_program(${name} LIBS ${piece} ${arg_COMPONENT} ${libs})
  set_target_properties(${name} PROPERTIES
    PELTRA_CHECKS "${piece}"
    PELTRA_CHECKS_COMPONENT ${arg_COMPONENT}
    PELTRA_CHECKS_LIBS "${libs}")
endfunction()

# Builds the checks of the check program CHECKS against a deliberately wrong
# version of its component (SOURCES, with the component's header), and
# compares the report with expected/<name>.txt: the checks must fail exactly
# where they should, quoting the right expressions, and the program must end
# with status 1. With EXIT_CODE 0 the version is off only as far as the
# checks allow (a root 4 units in the last place away), and every check must
# pass on it: a check stricter than it should be fails there.
function(peltra_add_faulty_checks name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "CHECKS;EXIT_CODE" "SOURCES")
  if(NOT DEFINED arg_EXIT_CODE)
    set(arg_EXIT_CODE 1)
  endif()
  foreach(property IN ITEMS PELTRA_CHECKS PELTRA_CHECKS_COMPONENT PELTRA_CHECKS_LIBS)
    get_target_property(${property} ${arg_CHECKS} ${property})
  endforeach()
  peltra_add_program(${name}
    SOURCES ${arg_SOURCES}
    LIBS ${PELTRA_CHECKS} ${PELTRA_CHECKS_LIBS})
  target_include_directories(${name} PRIVATE
    $<TARGET_PROPERTY:${PELTRA_CHECKS_COMPONENT},INTERFACE_INCLUDE_DIRECTORIES>)
  peltra_add_report_test(${name} EXIT_CODE ${arg_EXIT_CODE})
endfunction()

# Adds one step to the tour (build/<preset>/tour.sh): a heading saying what
# the step shows, then RUN, a shell line run from the top of the checkout,
# written exactly as the folder's README gives it, so that running the tour
# also runs every command the READMEs show. EXIT_CODE is the status the step
# must end with (a check program built to fail ends with 1); WAITS_FOR_KEY
# makes the tour say before the step that it waits for a key. LEFT_OUT names
# what is missing for a step this build cannot run: the tour then says so in
# a comment instead of running it.
function(peltra_add_tour_step heading)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WAITS_FOR_KEY" "RUN;EXIT_CODE;LEFT_OUT" "")
  if(NOT arg_RUN)
    message(FATAL_ERROR "tour step \"${heading}\": RUN is missing")
  endif()
  if(NOT DEFINED arg_EXIT_CODE)
    set(arg_EXIT_CODE 0)
  endif()
  set(waits no)
  if(arg_WAITS_FOR_KEY)
    set(waits yes)
  endif()
  if(arg_LEFT_OUT)
    set_property(GLOBAL APPEND_STRING PROPERTY PELTRA_TOUR
      "# left out, ${arg_LEFT_OUT}: ${heading}\n#   ${arg_RUN}\n")
    return()
  endif()
  set(words "")
  foreach(word IN ITEMS "${heading}" "${arg_EXIT_CODE}" "${waits}" "${arg_RUN}")
    string(REPLACE "'" "'\\''" word "${word}")
    string(APPEND words " '${word}'")
  endforeach()
  set_property(GLOBAL APPEND_STRING PROPERTY PELTRA_TOUR "step${words}\n")
endfunction()

# Writes the tour script from the steps the folders added, in their order.
function(peltra_write_tour path)
  get_property(steps GLOBAL PROPERTY PELTRA_TOUR)
  file(READ "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/tour.sh.in" head)
  string(REPLACE "@PELTRA_SOURCE_DIR@" "${PROJECT_SOURCE_DIR}" head "${head}")
  file(GENERATE OUTPUT "${path}" CONTENT "${head}${steps}finish\n"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endfunction()

# Installs the export set with a package config and a version file, so that
# a program outside this tree can find_package(Peltra) and link Peltra::radar;
# and a pkg-config file for each installed library, so that a program built
# without CMake links the same:
#   g++ main.cpp $(pkg-config --cflags --libs peltra-radar peltra)
function(peltra_install_package)
  include(CMakePackageConfigHelpers)
  get_property(installed GLOBAL PROPERTY PELTRA_INSTALLED)
  set(pc_files "")
  set(PELTRA_WITH_EIGEN FALSE)
  foreach(name IN LISTS installed)
    _peltra_pkg_config(${name})
    list(APPEND pc_files ${pc_file})
    get_property(libs TARGET ${name} PROPERTY PELTRA_LIBS)
    # A program that names only <name> gets the objects of the object
    # modules it names, never those of a module that <name> links: naming
    # <name> would not be enough to link it.
    foreach(lib IN LISTS libs)
      if(TARGET ${lib})
        get_target_property(kind ${lib} TYPE)
        if(kind STREQUAL "OBJECT_LIBRARY")
          message(FATAL_ERROR "The installed ${name} links the object module "
            "${lib}, whose objects would not reach a program that links "
            "${name}: make ${lib} a static or header-only library.")
        endif()
      endif()
    endforeach()
    if(Eigen3::Eigen IN_LIST libs)
      set(PELTRA_WITH_EIGEN TRUE)
    endif()
  endforeach()

  set(dir ${CMAKE_INSTALL_LIBDIR}/cmake/Peltra)
  install(EXPORT PeltraTargets NAMESPACE Peltra:: DESTINATION ${dir})
  configure_package_config_file(
    "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/PeltraConfig.cmake.in"
    "${CMAKE_BINARY_DIR}/PeltraConfig.cmake"
    INSTALL_DESTINATION ${dir})
  write_basic_package_version_file("${CMAKE_BINARY_DIR}/PeltraConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
  install(FILES "${CMAKE_BINARY_DIR}/PeltraConfig.cmake"
                "${CMAKE_BINARY_DIR}/PeltraConfigVersion.cmake"
          DESTINATION ${dir})

  # The prefix (cmake --install --prefix) and the configuration, which names
  # the folder of the object files, are known only when installing: the
  # files are completed then.
  install(CODE "set(pc_files \"${pc_files}\")
    set(pc_dir \"${CMAKE_INSTALL_LIBDIR}/pkgconfig\")")
  install(CODE [[
    set(objects objects)
    if(CMAKE_INSTALL_CONFIG_NAME)
      string(APPEND objects -${CMAKE_INSTALL_CONFIG_NAME})
    endif()
    foreach(in IN LISTS pc_files)
      get_filename_component(pc "${in}" NAME_WLE)
      set(out "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${pc_dir}/${pc}")
      message(STATUS "Installing: ${out}")
      configure_file("${in}" "${out}" @ONLY)
    endforeach()]])
endfunction()

# Adds the test peltra.modules (testing/CheckModules.cmake): every installed
# object module holds only what its source needs. Called once every folder
# has declared its modules.
function(peltra_add_modules_test)
  get_property(installed GLOBAL PROPERTY PELTRA_INSTALLED)
  set(modules "")
  set(args "")
  foreach(name IN LISTS installed)
    get_target_property(kind ${name} TYPE)
    if(kind STREQUAL "OBJECT_LIBRARY")
      list(APPEND modules ${name})
      list(APPEND args "-D${name}_OBJECTS=$<TARGET_OBJECTS:${name}>"
        "-D${name}_SOURCES=$<TARGET_PROPERTY:${name},SOURCES>"
        "-D${name}_DIR=$<TARGET_PROPERTY:${name},SOURCE_DIR>")
    endif()
  endforeach()
  add_test(NAME peltra.modules
    COMMAND ${CMAKE_COMMAND} "-DNM=${CMAKE_NM}" "-DMODULES=${modules}" ${args}
      -P ${PROJECT_SOURCE_DIR}/testing/CheckModules.cmake)
endfunction()

# Writes the pkg-config file of the installed library <name> (to be completed
# when installing) and sets pc_file to it: peltra.pc for libpeltra,
# peltra-<name>.pc for a module or stand-in. An object module is linked as
# its object files, named in Libs by their path; a library it links becomes
# a package it Requires. Programs built with it find libpeltra without
# LD_LIBRARY_PATH: Libs records the library folder in them (-rpath).
function(_peltra_pkg_config name)
  get_target_property(kind ${name} TYPE)
  get_target_property(sources ${name} SOURCES)
  get_property(libs TARGET ${name} PROPERTY PELTRA_LIBS)
  set(package peltra-${name})
  set(description "Peltra's ${name} module")
  set(requires "")
  set(flags "")
  if(kind STREQUAL "SHARED_LIBRARY")
    set(package ${name})
    set(description "Peltra's shared library lib${name}")
    set(flags "-L\${libdir} -l${name} -Wl,-rpath,\${libdir}")
  elseif(kind STREQUAL "STATIC_LIBRARY")
    set(description "Peltra's stand-in for the ${name} component")
    set(flags "\${libdir}/${CMAKE_STATIC_LIBRARY_PREFIX}${name}${CMAKE_STATIC_LIBRARY_SUFFIX}")
  elseif(kind STREQUAL "INTERFACE_LIBRARY")
    set(description "Peltra's header-only ${name} module")
  else()
    # CMake names an object file after its source: radar.cpp.o.
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    foreach(source IN LISTS sources)
      list(APPEND flags "\${libdir}/peltra/@objects@/${name}/${source}.o")
    endforeach()
  endif()
  get_property(installed GLOBAL PROPERTY PELTRA_INSTALLED)
  foreach(lib IN LISTS libs)
    if(lib STREQUAL "peltra")
      list(APPEND requires peltra)
    elseif(lib IN_LIST installed)
      list(APPEND requires peltra-${lib})
    elseif(lib STREQUAL "Threads::Threads")
      list(APPEND flags -pthread)
    elseif(lib STREQUAL "Eigen3::Eigen")
      list(APPEND requires eigen3)
    else()
      message(FATAL_ERROR "${name} links ${lib}, which has no pkg-config name here")
    endif()
  endforeach()
  list(JOIN requires " " requires)
  list(JOIN flags " " flags)
  set(pc_file "${CMAKE_BINARY_DIR}/pkgconfig/${package}.pc.in")
  file(WRITE "${pc_file}" "prefix=@CMAKE_INSTALL_PREFIX@
libdir=\${prefix}/${CMAKE_INSTALL_LIBDIR}
includedir=\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}

Name: ${package}
Description: ${description}
Version: ${PROJECT_VERSION}
Requires: ${requires}
Cflags: -I\${includedir}
Libs: ${flags}
")
  set(pc_file "${pc_file}" PARENT_SCOPE)
endfunction()
