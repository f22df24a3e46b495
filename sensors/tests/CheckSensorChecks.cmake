# Checks the report of sensor_checks (OUTPUT): all seven checks ran in their
# order and passed. Timings vary, so the report is not compared byte for byte.
set(checks
  DataDistanceTest.Laser DataDistanceTest.Radar
  NumMeasurementsTest.LaserAngRes10 NumMeasurementsTest.LaserAngRes30
  NumMeasurementsTest.Radar Laser.ValidResolution Laser.InvalidResolution)
set(rest "${OUTPUT}")
foreach(check IN LISTS checks)
  string(FIND "${rest}" "[       OK ] ${check} (" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "No passed ${check} after the checks before it in:\n${OUTPUT}")
  endif()
  string(SUBSTRING "${rest}" ${at} -1 rest)
endforeach()
foreach(line IN ITEMS "[==========] 7 tests from 3 test suites ran." "[  PASSED  ] 7 tests.")
  string(FIND "${OUTPUT}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "No line \"${line}\" in:\n${OUTPUT}")
  endif()
endforeach()
if(OUTPUT MATCHES "FAILED")
  message(FATAL_ERROR "A check failed:\n${OUTPUT}")
endif()
