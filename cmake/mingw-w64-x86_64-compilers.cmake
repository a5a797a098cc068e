# Cross-building for 64-bit Windows with MinGW-w64 on Debian. The "-posix"
# compilers use the POSIX thread model, which std::thread needs; the
# default ("-win32") ones cannot compile it. This file names the compilers
# and the search rules only, so that third-party builds (the Windows Qt)
# can use it without running anything under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NKQ_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NKQ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NKQ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NKQ_MINGW_TRIPLE}-windres)

# Appended, so that a Windows Qt named with -DCMAKE_FIND_ROOT_PATH is searched too.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${NKQ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
