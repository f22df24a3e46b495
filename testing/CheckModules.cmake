# Checks that each installed object module holds only what its source needs:
# an object that refers to iostream's static initialiser
# (std::ios_base::Init, which every file that includes <iostream> sets up)
# must come from a source that includes <iostream>, itself or through its
# own header beside it. Anything forced into every file (a precompiled
# header, say) that brings <iostream> fails here.
#   cmake -DNM=<nm> -DMODULES=<names> -D<name>_OBJECTS=<objects>
#         -D<name>_SOURCES=<their sources> -D<name>_DIR=<the folder of the
#         relative ones> -P CheckModules.cmake
# (CMake names an object after its source: radar.cpp.o.)
cmake_minimum_required(VERSION 3.25)

set(wrong "")
set(count 0)
foreach(module IN LISTS MODULES)
  foreach(object IN LISTS ${module}_OBJECTS)
    get_filename_component(name "${object}" NAME_WLE)
    set(source "")
    foreach(candidate IN LISTS ${module}_SOURCES)
      get_filename_component(candidate_name "${candidate}" NAME)
      if(candidate_name STREQUAL name)
        get_filename_component(source "${candidate}" ABSOLUTE
          BASE_DIR "${${module}_DIR}")
      endif()
    endforeach()
    if(NOT source)
      message(FATAL_ERROR "${module}: no source for ${object}")
    endif()
    execute_process(COMMAND "${NM}" -C --undefined-only "${object}"
      OUTPUT_VARIABLE undefined RESULT_VARIABLE status)
    if(status)
      message(FATAL_ERROR "${NM} failed on ${object}")
    endif()
    math(EXPR count "${count} + 1")
    if(NOT undefined MATCHES "std::ios_base::Init::Init\\(\\)")
      continue()
    endif()
    string(REGEX REPLACE "\\.[^./]+$" ".h" header "${source}")
    set(includes FALSE)
    foreach(file IN ITEMS "${source}" "${header}")
      if(EXISTS "${file}")
        file(STRINGS "${file}" lines REGEX "^[ ]*#[ ]*include[ ]*<iostream>")
        if(lines)
          set(includes TRUE)
        endif()
      endif()
    endforeach()
    if(NOT includes)
      string(APPEND wrong "\n  ${module}: ${name}")
    endif()
  endforeach()
endforeach()

if(count EQUAL 0)
  message(FATAL_ERROR "No objects were checked (MODULES: ${MODULES})")
endif()
if(wrong)
  message(FATAL_ERROR "These objects set up iostream's static initialiser, "
    "though their sources include no <iostream>:${wrong}")
endif()
message(STATUS "${count} objects checked")
