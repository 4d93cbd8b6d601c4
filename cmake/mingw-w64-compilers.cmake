# The MinGW-w64 cross compilers for 64-bit Windows, posix thread model (std::thread and
# std::mutex need it). scripts/windows.sh builds the static Qt with this file alone, so any
# change here makes it build Qt again; the application build goes through mingw-w64.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SETFORGE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SETFORGE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SETFORGE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SETFORGE_MINGW_TRIPLE}-windres)

# Headers, libraries and packages come from the MinGW sysroot (and from the prefixes a caller
# appends); programs run at build time are the host's own.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${SETFORGE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
