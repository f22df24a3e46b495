# Checks what libpeltra (LIBRARY) exports, with nm (NM): exactly the
# constructors, Ranger's seven accessors and both classes' virtual tables and
# type information; in particular no destructor, which stays inline. Each
# virtual table holds the offset to the top, the type information and the
# eleven operations, 13 pointers: a virtual destructor would add two more.
execute_process(COMMAND "${NM}" -D -C -S --defined-only "${LIBRARY}"
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(status)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()

set(expected
  "RangerInterface::RangerInterface()"
  "Ranger::Ranger()"
  "Ranger::getAngularResolution()"
  "Ranger::getOffset()"
  "Ranger::getFieldOfView()"
  "Ranger::getMax()"
  "Ranger::getMin()"
  "Ranger::setOffset(int)"
  "Ranger::setFieldOfView(unsigned int)")
foreach(class IN ITEMS RangerInterface Ranger)
  list(APPEND expected "vtable for ${class}" "typeinfo for ${class}"
    "typeinfo name for ${class}")
endforeach()

# Every exported symbol that names one of the classes, without address,
# size and type.
string(REPLACE "\n" ";" lines "${listing}")
set(exported "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-f]+ ([0-9a-f]+ )?[A-Za-z] (.*Ranger.*)$")
    set(size "${CMAKE_MATCH_1}")
    set(symbol "${CMAKE_MATCH_2}")
    list(APPEND exported "${symbol}")
    if(symbol MATCHES "^vtable for" AND NOT size STREQUAL "0000000000000068 ")
      message(FATAL_ERROR "${symbol} is not 13 pointers long: ${line}")
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES exported)

set(missing ${expected})
list(REMOVE_ITEM missing ${exported})
set(extra ${exported})
list(REMOVE_ITEM extra ${expected})
if(missing OR extra)
  list(JOIN missing "\n  " missing)
  list(JOIN extra "\n  " extra)
  message(FATAL_ERROR "libpeltra exports other symbols than it should.\n"
    "Missing:\n  ${missing}\nUnexpected:\n  ${extra}")
endif()
