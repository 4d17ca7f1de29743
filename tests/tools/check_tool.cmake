# Run by the zantel_tool_test cases (CMakeLists.txt here): zantel-tool's exit status, its exact
# standard output, and a reason on standard error whenever the status is not 0.
execute_process(COMMAND ${TOOL} ${ARGS} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(status EQUAL 0)
  set(want "${EXPECT_OUT}\n")
else()
  set(want "")
endif()
if(NOT status STREQUAL EXPECT_STATUS OR NOT out STREQUAL want OR (NOT status EQUAL 0 AND err STREQUAL ""))
  message(FATAL_ERROR "status ${status} (want ${EXPECT_STATUS})\nout [${out}] (want [${want}])\nerr [${err}]")
endif()
