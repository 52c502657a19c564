# mingw-x86_64.cmake: the same sources as 64-bit Windows programs, so the Wine suite can run on a
# machine whose kernel cannot execute 32-bit x86 code.
set(SDLL_MINGW_TRIPLE x86_64-w64-mingw32)
set(SDLL_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
