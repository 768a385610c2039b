# Cross build of the 32-bit Windows console program, the one that is shipped
# first; its tests run under wine where the kernel can run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LOGSIFT_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
