# rand_vector_main prints clock-seeded numbers, so its output is checked by
# form: the three headers, "empty" and an empty line, a line of 10 values,
# then a line of 20 whose first 10 are those of the line before; every value
# is followed by one blank.
set(number_pattern "^-?[0-9]+(\\.[0-9]+)?(e[-+][0-9]+)?$")

function(check_values line count)
  if(NOT line MATCHES " $" OR line MATCHES "^ " OR line MATCHES "  ")
    message(FATAL_ERROR "Not values each followed by one blank: '${line}'")
  endif()
  string(REGEX REPLACE " $" "" trimmed "${line}")
  string(REPLACE " " ";" values "${trimmed}")
  list(LENGTH values found)
  if(NOT found EQUAL count)
    message(FATAL_ERROR "${found} values instead of ${count}: '${line}'")
  endif()
  foreach(value IN LISTS values)
    if(NOT value MATCHES "${number_pattern}")
      message(FATAL_ERROR "Not a number in the default format: '${value}'")
    endif()
  endforeach()
endfunction()

if(NOT OUTPUT MATCHES
   "^Numbers before: \nempty\n\nNumbers after: \n([^\n]*)\nNumbers after again: \n([^\n]*)\n$")
  message(FATAL_ERROR "The output is not the seven expected lines:\n${OUTPUT}")
endif()
set(ten "${CMAKE_MATCH_1}")
set(twenty "${CMAKE_MATCH_2}")
check_values("${ten}" 10)
check_values("${twenty}" 20)
string(FIND "${twenty}" "${ten}" position)
if(NOT position EQUAL 0)
  message(FATAL_ERROR "The line of 20 values does not begin with the 10 before:\n${OUTPUT}")
endif()
