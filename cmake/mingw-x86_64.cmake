# Cross build of the same source as a 64-bit Windows console program; its
# tests run under wine64, also where the kernel cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LOGSIFT_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
