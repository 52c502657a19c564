# mingw-i686.cmake: the product build, 32-bit x86 Windows DLLs.
set(SDLL_MINGW_TRIPLE i686-w64-mingw32)
set(SDLL_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
