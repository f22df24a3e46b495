# Checks the form of camera_demo's output, whose numbers are random: the
# fixed characteristics, a 5 x 4 image whose rows halve, and the sizes.
set(value "[0-9]+ ")
set(row "${value}${value}${value}${value}\n")
string(CONCAT pattern
  "^Sampling time 1, intensities 0 to 255\n"
  "An image of size 'A':\n"
  "(${row})(${row})(${row})(${row})(${row})"
  "takeImage\\('A'\\): 5 rows of 4 values; the camera now reports 5 x 4\n"
  "takeImage\\('B'\\): 25 rows of 16 values; the camera now reports 25 x 16\n"
  "takeImage\\('x'\\): 25 rows of 16 values; the camera now reports 25 x 16\n"
  "Images taken: 4\n$")
if(NOT OUTPUT MATCHES "${pattern}")
  message(FATAL_ERROR "camera_demo printed output of another form:\n${OUTPUT}")
endif()

# Each row of the image is the row above halved, every value at most 255.
foreach(index RANGE 1 5)
  string(STRIP "${CMAKE_MATCH_${index}}" line)
  string(REPLACE " " ";" values_${index} "${line}")
endforeach()
foreach(index RANGE 1 5)
  foreach(column RANGE 0 3)
    list(GET values_${index} ${column} value)
    if(value GREATER 255)
      message(FATAL_ERROR "Value ${value} is out of range:\n${OUTPUT}")
    endif()
    if(index GREATER 1)
      math(EXPR above_index "${index} - 1")
      list(GET values_${above_index} ${column} above)
      math(EXPR halved "${above} / 2")
      if(NOT value EQUAL halved)
        message(FATAL_ERROR "Row ${index} is not the row above halved:\n${OUTPUT}")
      endif()
    endif()
  endforeach()
endforeach()
