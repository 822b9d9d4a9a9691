# Runs mascot-sim on one script and compares its trace with the committed golden trace (a .csv)
# or with the SHA-256 digest of it (a .sha256), byte for byte.
# Usage: cmake -DSIM=<mascot-sim> -DSCRIPT=<x.script> -DEXPECTED=<x.csv|x.sha256> -DOUT=<file>
#              -P check.cmake
foreach(var SIM SCRIPT EXPECTED OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND "${SIM}" "${SCRIPT}" OUTPUT_FILE "${OUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "mascot-sim ${SCRIPT} exited with ${status}")
endif()

file(SHA256 "${OUT}" actual)
if(EXPECTED MATCHES "\\.sha256$")
  file(READ "${EXPECTED}" expected)
  string(STRIP "${expected}" expected)
else()
  file(SHA256 "${EXPECTED}" expected)
endif()
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "The trace of ${SCRIPT} differs from ${EXPECTED}\n"
                      "  expected sha256 ${expected}\n  actual   sha256 ${actual}\n"
                      "  actual trace kept in ${OUT}")
endif()
message(STATUS "${SCRIPT}: trace identical to ${EXPECTED}")
