# What keeps a clean build short; the helpers of PeltraHelpers.cmake call
#   _peltra_build_speed(<target>)
# for every target once its libraries are linked. Every program and library
# is linked with gold where the compiler can use it: it links these programs
# about four times faster than the default linker.
#
# - Precompiled headers. Most of a small file's compile time goes into
#   parsing the standard headers it includes (three quarters of it for
#   data/fill_print_sort.cpp), and every program parses the same ones. So
#   they are compiled once per build, by a small target of their own, and
#   every target reuses the result (REUSE_FROM): peltra_pch_std holds the
#   standard headers that many files include, peltra_pch_gtest these and
#   GoogleTest's header, which costs more to parse than most test files that
#   include it.
#   The header then comes first in every file of those targets, as if each
#   began with its #include; scripts/lint compiles without them, so that a
#   forgotten #include still shows. GCC uses a precompiled header only where
#   the file's options are the same and says so (-Winvalid-pch) should it
#   ever refuse one: the shared library's files are position-independent
#   (-fPIC) and are compiled without. Eigen's headers are not precompiled:
#   making their precompiled header costs several times what it saves a file
#   that includes them, and only two or three do.
#
# - What links GoogleTest (directly or through the project's own libraries)
#   is test code, and gets -Og -g1 instead of the -O2 -g of RelWithDebInfo
#   and Release. Test code runs its checks once and needs no speed, and most
#   of its compile time goes into optimising and describing what GoogleTest's
#   macros expand to. -Og still optimises a little (so GCC's flow warnings
#   still work); -g1 keeps the line tables, so a backtrace or a sanitizer's
#   report still names each test's file and line, but not the variables of
#   its frames: the two together take about half the compile time of -O2 -g.
#   To step through a test and see its variables, use the asan preset
#   (Debug: -O0 -g). The code under test is built in its own libraries with
#   the build type's options.
#
# - ccache, where the build uses it. It caches a compile that loads a
#   precompiled header only when told that it cannot see the macros the
#   header defines nor whether it uses __TIME__ (sloppiness
#   pch_defines,time_macros) and, with GCC, when the preprocessed text names
#   the header (-fpch-preprocess); clang must leave the time out of the header
#   (-fno-pch-timestamp). Without these it would compile every such file anew.

include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=gold PELTRA_LINKS_WITH_GOLD)

if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(_peltra_ccache_with_pch env CCACHE_SLOPPINESS=pch_defines,time_macros
    ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# The standard headers that many files include, precompiled with GoogleTest's
# for the tests and alone for the rest. Not <iostream>: it defines a static
# object in every file that includes it (std::ios_base::Init, which sets up
# std::cout), so precompiled for all, it would put that object into every
# module, those that use no stream too. What it adds to <istream> and
# <ostream>, which <fstream> and <sstream> bring, takes next to no time to
# parse where a file includes it. (GoogleTest's header includes it anyway.)
set(_peltra_std_headers
  <algorithm> <atomic> <chrono> <cmath> <condition_variable> <cstddef>
  <cstdint> <cstdio> <cstdlib> <cstring> <deque> <fstream> <functional>
  <limits> <map> <memory> <mutex> <optional> <random> <sstream> <string>
  <thread> <utility> <vector>)

# All the libraries <target> links, through the project's own libraries.
function(_peltra_linked_libraries out target)
  set(seen "")
  get_target_property(pending ${target} LINK_LIBRARIES)
  while(pending)
    list(POP_FRONT pending lib)
    if(NOT lib OR lib IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${lib})
    if(TARGET ${lib})
      get_target_property(imported ${lib} IMPORTED)
      get_target_property(more ${lib} INTERFACE_LINK_LIBRARIES)
      if(NOT imported AND more)
        list(APPEND pending ${more})
      endif()
    endif()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

# Lets ccache cache the files of <target>, which load a precompiled header.
function(_peltra_ccache_with_pch target)
  if(NOT _peltra_ccache_with_pch)
    return()
  endif()
  set_target_properties(${target} PROPERTIES
    CXX_COMPILER_LAUNCHER "${_peltra_ccache_with_pch}")
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fpch-preprocess)
  elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE "SHELL:-Xclang -fno-pch-timestamp")
  endif()
endfunction()

# <target> compiled with the precompiled header that <pch_target> makes, and
# with the options of its kind; <pch_target> and its header are made by the
# first target that needs them. The maker has the same options as its users:
# GCC uses the header only where they are the same.
function(_peltra_reuse_pch target pch_target)
  if(NOT TARGET ${pch_target})
    set(source ${CMAKE_BINARY_DIR}/${pch_target}.cpp)
    file(CONFIGURE OUTPUT ${source}
      CONTENT "// Compiled for a precompiled header only.\n")
    add_library(${pch_target} OBJECT ${source})
    _peltra_defaults(${pch_target})
    set(headers ${_peltra_std_headers})
    if(pch_target STREQUAL "peltra_pch_gtest")
      target_link_libraries(${pch_target} PRIVATE GTest::gtest)
      list(PREPEND headers <gtest/gtest.h>)
    endif()
    target_precompile_headers(${pch_target} PRIVATE ${headers})
    _peltra_pch_options(${pch_target} ${pch_target})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${pch_target})
  _peltra_pch_options(${target} ${pch_target})
endfunction()

# The options of a target that uses <pch_target>'s header: those of test code
# with GoogleTest's, and ccache's either way.
function(_peltra_pch_options target pch_target)
  if(pch_target STREQUAL "peltra_pch_gtest")
    target_compile_options(${target} PRIVATE
      "$<$<CONFIG:RelWithDebInfo,Release>:-Og;-g1>")
  endif()
  _peltra_ccache_with_pch(${target})
endfunction()

function(_peltra_build_speed target)
  if(PELTRA_LINKS_WITH_GOLD)
    target_link_options(${target} PRIVATE -fuse-ld=gold)
  endif()
  _peltra_linked_libraries(libs ${target})
  get_target_property(kind ${target} TYPE)
  if(libs MATCHES "GTest::")
    _peltra_reuse_pch(${target} peltra_pch_gtest)
  elseif(NOT kind MATCHES "SHARED_LIBRARY|INTERFACE_LIBRARY")
    _peltra_reuse_pch(${target} peltra_pch_std)
  endif()
endfunction()
