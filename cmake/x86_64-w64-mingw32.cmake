# Cross-builds the 64-bit Windows console executable with mingw-w64 (win32 thread model):
#   cmake -S . -B build-win64 --toolchain cmake/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Linked statically, the executable needs nothing but KERNEL32 and msvcrt.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Tests of the cross build run under Wine.
find_program(MOSAIQ_WINE wine)
if(MOSAIQ_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MOSAIQ_WINE})
endif()
