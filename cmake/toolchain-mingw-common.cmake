# Cross-compiling for Windows with mingw-w64's posix-thread compilers
# (std::thread and std::mutex need them). The architecture files set
# QUILLON_MINGW_ARCH and include this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUILLON_MINGW_ARCH})

set(QUILLON_MINGW_TRIPLE ${QUILLON_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${QUILLON_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLON_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${QUILLON_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLON_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The static zlib: the add-on must load with nothing beside it.
set(ZLIB_INCLUDE_DIR /usr/${QUILLON_MINGW_TRIPLE}/include CACHE PATH "")
set(ZLIB_LIBRARY /usr/${QUILLON_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine/wine-exec.sh)
