# Cross build for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads compiler, for
# std::thread), run and tested under Wine. The programs are linked statically (libgcc,
# libstdc++, winpthread, zlib), so that the .exe runs on its own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the MinGW tree only; programs (Wine, Python) from the build
# machine.
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# zlib's static archive, not its DLL's import library.
set(ZLIB_USE_STATIC_LIBS ON)

# Tests and the programs the build runs go through Wine (Debian installs wine64 outside PATH),
# quietly and without a display: a prefix of its own in the build tree, no debug output, no
# offer to install Mono or Gecko, and a UTF-8 locale, in which Wine hands the program its
# arguments (file names) from the Unix side.
find_program(TRUNO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TRUNO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
      WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= LC_ALL=C.UTF-8
      ${TRUNO_WINE})
endif()
