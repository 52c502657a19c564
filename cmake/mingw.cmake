# mingw.cmake: cross-compiles for Windows with the posix thread-model MinGW-w64 compilers
# (GoogleTest needs std::mutex, which the win32 thread model lacks). The including toolchain file
# sets SDLL_MINGW_TRIPLE and SDLL_MINGW_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SDLL_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${SDLL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SDLL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SDLL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SDLL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
