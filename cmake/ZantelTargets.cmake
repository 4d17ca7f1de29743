# zantel_layer(NAME [DIRS dir...] [DEPS target...])
# A static library zantel_NAME from the .cpp files of the layer's folder (and of DIRS below
# it), with src/ as the include root. A layer with no sources yet is an interface library.
function(zantel_layer name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB more CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${more})
  endforeach()
  if(sources)
    add_library(zantel_${name} STATIC ${sources})
    target_include_directories(zantel_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zantel_${name} PUBLIC ${ARG_DEPS} PRIVATE zantel_warnings)
  else()
    add_library(zantel_${name} INTERFACE)
    target_include_directories(zantel_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(zantel_${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# zantel_test_headers(TARGET [GMOCK]): GoogleTest's headers (and GoogleMock's) compiled once for
# the target instead of in each of its files, where they take most of a test file's build time.
function(zantel_test_headers target)
  cmake_parse_arguments(ARG "GMOCK" "" "" ${ARGN})
  set(headers <gtest/gtest.h>)
  if(ARG_GMOCK)
    list(APPEND headers <gmock/gmock.h>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
  # With GoogleTest's headers first, GCC 12 at -O2 inlines std::string's operator+ and copies
  # so that it warns of reads and writes out of bounds that are not there (known false
  # positives of its object-size analysis in libstdc++).
  target_compile_options(
    ${target} PRIVATE
    "$<$<CXX_COMPILER_ID:GNU>:-Wno-array-bounds;-Wno-stringop-overflow;-Wno-stringop-overread>")
endfunction()

# zantel_unit_tests(LAYER [DEPS target...]): one GoogleTest program per tested layer.
# Files named posix_*.cpp test what exists on POSIX only, win32_*.cpp what exists on Windows only.
function(zantel_unit_tests layer)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.cpp)
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "/posix_[^/]*\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "/win32_[^/]*\\.cpp$")
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${layer}_tests ${sources})
  target_link_libraries(${layer}_tests PRIVATE zantel_${layer} ${ARG_DEPS} zantel_test_support
                        GTest::gmock GTest::gtest_main zantel_warnings)
  zantel_test_headers(${layer}_tests GMOCK)
  set(properties ENVIRONMENT "ZANTEL_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  # Under Wine there is one pair of serial ports for all tests (see tests/support/serial_pair.h):
  # the programs whose tests use it take turns.
  list(FILTER sources INCLUDE REGEX "/win32_[^/]*serial[^/]*\\.cpp$")
  if(WIN32 AND sources)
    list(APPEND properties RESOURCE_LOCK zantel_serial_pair)
  endif()
  gtest_discover_tests(${layer}_tests DISCOVERY_TIMEOUT 120 NO_PRETTY_VALUES PROPERTIES ${properties})
endfunction()
