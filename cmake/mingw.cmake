# The MinGW-w64 cross build of the Windows console program, shared by the
# 32-bit and 64-bit toolchain files, which set LOGSIFT_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR first. The tests run under wine, through
# tools/wine-run, which holds every wine setting.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: GoogleTest needs std::mutex, which the win32 model lacks.
set(CMAKE_C_COMPILER ${LOGSIFT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LOGSIFT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LOGSIFT_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LOGSIFT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: no MinGW runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
