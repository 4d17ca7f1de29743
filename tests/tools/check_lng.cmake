# Run by the zantel_lng_test cases (CMakeLists.txt here): `zantel-tool lng check`'s exit status
# and its two streams, line by line.
string(REPLACE "|" ";" files "${FILES}")
execute_process(COMMAND ${TOOL} lng check ${files} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
foreach(stream OUT ERR)
  string(REPLACE "|" "\n" want${stream} "${${stream}}")
  if(NOT want${stream} STREQUAL "")
    string(APPEND want${stream} "\n")
  endif()
endforeach()
if(NOT status STREQUAL EXPECT_STATUS OR NOT out STREQUAL wantOUT OR NOT err STREQUAL wantERR)
  message(FATAL_ERROR "status ${status} (want ${EXPECT_STATUS})\nout [${out}]\n(want [${wantOUT}])\nerr [${err}]\n(want [${wantERR}])")
endif()
