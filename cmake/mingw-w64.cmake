# Cross-builds the program for 64-bit Windows against the static Qt that scripts/windows.sh
# builds. That Qt's folder comes as SETFORGE_QT_MINGW, a cache variable or, inside CMake's
# compiler checks (which see no cache), the environment variable of the same name.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-compilers.cmake)

if(NOT SETFORGE_QT_MINGW AND DEFINED ENV{SETFORGE_QT_MINGW})
    set(SETFORGE_QT_MINGW "$ENV{SETFORGE_QT_MINGW}")
endif()
if(NOT SETFORGE_QT_MINGW)
    message(FATAL_ERROR "Set SETFORGE_QT_MINGW to the static MinGW Qt (scripts/windows.sh does)")
endif()
set(ENV{SETFORGE_QT_MINGW} "${SETFORGE_QT_MINGW}")
list(APPEND CMAKE_FIND_ROOT_PATH "${SETFORGE_QT_MINGW}")

# moc, rcc and uic of a cross-built Qt are the host's: Debian's Qt of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
