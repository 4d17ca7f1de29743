# The Windows cross-build compiles its third-party libraries from source: Debian ships no mingw
# build of PCRE2 or GoogleTest. PCRE2 comes from Debian's source package, which scripts/setup
# fetched into .cache/pcre2 and checked against its .dsc; GoogleTest from the sources that
# libgtest-dev installs.
include(FetchContent)

set(pcre2_record ${PROJECT_SOURCE_DIR}/.cache/pcre2/verified)
if(NOT EXISTS ${pcre2_record})
  message(FATAL_ERROR "The PCRE2 source package is missing: run scripts/setup first")
endif()
file(STRINGS ${pcre2_record} pcre2_fields LIMIT_COUNT 1)
string(REPLACE " " ";" pcre2_fields "${pcre2_fields}")
list(GET pcre2_fields 0 pcre2_sha256)
list(GET pcre2_fields 1 pcre2_tarball)

# Static, 8-bit only, no JIT, none of its programs.
set(BUILD_SHARED_LIBS OFF)
set(BUILD_STATIC_LIBS ON CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2_8 ON CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2_16 OFF CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2_32 OFF CACHE BOOL "" FORCE)
set(PCRE2_SUPPORT_JIT OFF CACHE BOOL "" FORCE)
set(PCRE2_BUILD_PCRE2GREP OFF CACHE BOOL "" FORCE)
set(PCRE2_BUILD_TESTS OFF CACHE BOOL "" FORCE)
FetchContent_Declare(pcre2
  URL ${PROJECT_SOURCE_DIR}/.cache/pcre2/${pcre2_tarball}
  URL_HASH SHA256=${pcre2_sha256}
  DOWNLOAD_EXTRACT_TIMESTAMP TRUE)
FetchContent_GetProperties(pcre2)
if(NOT pcre2_POPULATED)
  FetchContent_Populate(pcre2)
  add_subdirectory(${pcre2_SOURCE_DIR} ${pcre2_BINARY_DIR} EXCLUDE_FROM_ALL)
endif()

if(ZANTEL_BUILD_TESTS)
  # Listing a program's tests needs Wine, which the build itself does without: CTest lists
  # them when it runs them.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
