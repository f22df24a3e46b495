# Checks what the READMEs tell a reader, so that a rename or a wrong command
# fails a test instead of a student:
# - every source file and folder a README names in backticks (`radar.h`,
#   `tests/`, `outside/vehicle/`) exists, next to the README or from the top
#   of the tree, or, for a generated file, in the same folder of this build
#   (paths into a build folder, `build/...`, are not sources);
# - every command line in a README's ```sh block is one that something also
#   runs: a tour step (BINARY_DIR/tour.sh), .ci/run, or a script (shell or
#   Python) or CMake file in a tests/ folder. A long command may be run there
#   with options added after it (inside the parentheses of a "(cd ... &&
#   ./program)" line); comments after " # " are not part of the command.
cmake_minimum_required(VERSION 3.25)

# The files of the tree that match a pattern: those git tracks when SOURCE_DIR
# is the top of a checkout (never a build folder, a symlink or a stray
# copy), and otherwise, as in an unpacked archive, every one outside build
# folders (the policies of 3.25 keep the search out of symlinked folders).
function(tree_files var pattern)
  execute_process(COMMAND git rev-parse --show-toplevel
    WORKING_DIRECTORY "${SOURCE_DIR}"
    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status ERROR_QUIET)
  file(REAL_PATH "${SOURCE_DIR}" source)
  if(status EQUAL 0 AND top STREQUAL source)
    execute_process(COMMAND git ls-files -- "${pattern}"
      WORKING_DIRECTORY "${SOURCE_DIR}"
      OUTPUT_VARIABLE files)
    string(REGEX REPLACE "\n$" "" files "${files}")
    string(REPLACE "\n" ";" files "${files}")
  else()
    file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${pattern}")
    list(FILTER files EXCLUDE REGEX "(^|/)build/")
  endif()
  set(${var} "${files}" PARENT_SCOPE)
endfunction()

tree_files(readmes "*README.md")

# What runs commands: the tour, CI and the tests' own scripts.
file(READ "${BINARY_DIR}/tour.sh" runners)
if(EXISTS "${SOURCE_DIR}/.ci/run")
  file(READ "${SOURCE_DIR}/.ci/run" ci)
  string(APPEND runners "\n${ci}")
endif()
tree_files(scripts "*/tests/*")
list(FILTER scripts INCLUDE REGEX "(CMakeLists\\.txt|\\.cmake|\\.sh|\\.py)$")
foreach(script IN LISTS scripts)
  file(READ "${SOURCE_DIR}/${script}" text)
  string(APPEND runners "\n${text}")
endforeach()
string(APPEND runners "\n")

# A student's handout leaves out the solutions, the exercises it does not
# hand out and the folders they do not need; its exercises.json lists them
# (a folder ending in /, with everything in it), and a README may still
# name them.
set(left_out "")
if(EXISTS "${SOURCE_DIR}/exercises.json")
  file(READ "${SOURCE_DIR}/exercises.json" declaration)
  string(JSON count ERROR_VARIABLE none LENGTH "${declaration}" left_out)
  if(NOT none AND count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON path GET "${declaration}" left_out ${i})
      list(APPEND left_out "${path}")
    endforeach()
  endif()
endif()

set(missing "")
set(unrun "")
set(commands 0)
foreach(readme IN LISTS readmes)
  get_filename_component(folder "${readme}" DIRECTORY)
  file(READ "${SOURCE_DIR}/${readme}" text)

  string(REGEX MATCHALL "`[^`<> \n]+(\\.(h|cpp|cmake|sh|txt|gp)|/)`" names "${text}")
  foreach(name IN LISTS names)
    string(REGEX REPLACE "^`(.*)`$" "\\1" name "${name}")
    set(gone FALSE)
    foreach(path IN LISTS left_out)
      string(FIND "${folder}/${name}" "${path}" at_folder)
      string(FIND "${name}" "${path}" at_top)
      if(path STREQUAL "${folder}/${name}" OR path STREQUAL name OR
          (path MATCHES "/$" AND (at_folder EQUAL 0 OR at_top EQUAL 0)))
        set(gone TRUE)
      endif()
    endforeach()
    if(NOT name MATCHES "^build/" AND NOT gone
       AND NOT EXISTS "${SOURCE_DIR}/${folder}/${name}"
       AND NOT EXISTS "${SOURCE_DIR}/${name}"
       AND NOT EXISTS "${BINARY_DIR}/${folder}/${name}")
      string(APPEND missing "\n  ${readme}: ${name}")
    endif()
  endforeach()

  # The ```sh blocks, one command per line once continuations are joined.
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REGEX REPLACE "\\\\\n[ ]*" " " text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(in_block FALSE)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "```sh")
      set(in_block TRUE)
    elseif(line MATCHES "^```")
      set(in_block FALSE)
    elseif(in_block AND NOT line STREQUAL "" AND NOT line MATCHES "^#")
      string(REGEX REPLACE "[ ]+# .*$" "" line "${line}")
      string(REGEX REPLACE "[ ]+" " " line "${line}")
      string(REPLACE "<semicolon>" ";" line "${line}")
      # In a subshell, "(cd <folder> && ./program)", options go before the
      # closing parenthesis: the command is what comes before it.
      string(REGEX REPLACE "^(\\(.*)\\)$" "\\1" line "${line}")
      math(EXPR commands "${commands} + 1")
      string(FIND "${runners}" "${line}" at)
      set(found FALSE)
      while(at GREATER -1)
        string(LENGTH "${line}" length)
        math(EXPR after "${at} + ${length}")
        string(SUBSTRING "${runners}" ${after} 1 next)
        if(next MATCHES "^[ )'\"\n]$")
          set(found TRUE)
          break()
        endif()
        math(EXPR from "${after}")
        string(SUBSTRING "${runners}" ${from} -1 rest)
        string(FIND "${rest}" "${line}" at_rest)
        if(at_rest EQUAL -1)
          break()
        endif()
        math(EXPR at "${from} + ${at_rest}")
      endwhile()
      if(NOT found)
        string(APPEND unrun "\n  ${readme}: ${line}")
      endif()
    endif()
  endforeach()
endforeach()

list(LENGTH readmes count)
if(missing)
  message(SEND_ERROR "READMEs name files that do not exist:${missing}")
endif()
if(unrun)
  message(SEND_ERROR "README commands that neither the tour, CI nor a test "
    "runs (so nothing proves they work):${unrun}")
endif()
message(STATUS "${count} READMEs and ${commands} commands checked")
