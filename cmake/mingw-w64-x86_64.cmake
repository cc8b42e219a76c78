# Cross-builds Dustral for 64-bit Windows with Debian's mingw-w64 compiler
# (the "posix" variant, whose C++ runtime has std::thread), and runs the
# test programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DUSTRAL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DUSTRAL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DUSTRAL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DUSTRAL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DUSTRAL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime and winpthread linked in, so that the programs need no DLL
# beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian installs the 64-bit loader outside the PATH when the "wine"
# wrapper package is missing.
find_program(DUSTRAL_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(DUSTRAL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine_run.sh ${DUSTRAL_WINE}
      ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
