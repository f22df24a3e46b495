# Checks that every source file and folder a README names in backticks
# (`radar.h`, `tests/`, `outside/vehicle/`) exists: next to the README, from
# the top of the tree, or, for a generated file, in the README's build folder.
# A rename that forgets the README fails here.
file(GLOB_RECURSE readmes RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*README.md")
list(FILTER readmes EXCLUDE REGEX "^build/")
set(missing "")
foreach(readme IN LISTS readmes)
  get_filename_component(folder "${readme}" DIRECTORY)
  file(READ "${SOURCE_DIR}/${readme}" text)
  string(REGEX MATCHALL "`[^`<> \n]+(\\.(h|cpp|cmake|sh|txt)|/)`" names "${text}")
  foreach(name IN LISTS names)
    string(REGEX REPLACE "^`(.*)`$" "\\1" name "${name}")
    if(NOT EXISTS "${SOURCE_DIR}/${folder}/${name}"
       AND NOT EXISTS "${SOURCE_DIR}/${name}"
       AND NOT EXISTS "${BINARY_DIR}/${folder}/${name}")
      string(APPEND missing "\n  ${readme}: ${name}")
    endif()
  endforeach()
endforeach()
list(LENGTH readmes count)
if(missing)
  message(FATAL_ERROR "READMEs name files that do not exist:${missing}")
endif()
message(STATUS "${count} READMEs checked")
