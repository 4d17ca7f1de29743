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

# zantel_unit_tests(LAYER [DEPS target...]): one GoogleTest program per tested layer.
function(zantel_unit_tests layer)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${layer}_tests ${sources})
  target_link_libraries(${layer}_tests PRIVATE zantel_${layer} ${ARG_DEPS} zantel_test_support
                        GTest::gmock GTest::gtest_main zantel_warnings)
  gtest_discover_tests(${layer}_tests DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "ZANTEL_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()
