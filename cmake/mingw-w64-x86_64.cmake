# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the -posix
# variant, whose libstdc++ has std::thread). Every program is linked
# statically, so an .exe needs nothing beside it on a bare Windows machine.
#
#   cmake -S . -B build/windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DUD_BUILD_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(UD_MINGW_TRIPLET x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${UD_MINGW_TRIPLET}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${UD_MINGW_TRIPLET}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${UD_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${UD_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Test programs run under Wine on the build machine.
find_program(UD_WINE_PROGRAM NAMES wine64 wine)
if(UD_WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${UD_WINE_PROGRAM})
endif()
