# Cross-builds the 32-bit Windows plug-in with Debian's mingw-w64. The posix-threads flavour of
# the compilers is the one whose libstdc++ has std::thread and std::mutex (GoogleTest needs
# them). Test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(ZANTEL_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZANTEL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZANTEL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZANTEL_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${ZANTEL_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZANTEL_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_NM ${ZANTEL_MINGW_TRIPLET}-nm CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${ZANTEL_MINGW_TRIPLET}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${ZANTEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The process heap (and msvcrt's malloc) align blocks to 8 bytes on 32-bit Windows, while the
# compiler would take 16 for granted: types aligned beyond 8 must use the aligned operator new.
set(CMAKE_CXX_FLAGS_INIT "-faligned-new=8")

# Everything static: the DLL and the test programs need no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

find_program(ZANTEL_WINE wine)
if(ZANTEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZANTEL_WINE})
endif()
