# The project's Windows toolchain: the MinGW-w64 compilers, and Wine to run
# what they build here.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-compilers.cmake)

# CTest and the test discovery run the programs through Wine.
find_program(NKQ_WINE wine)
if(NKQ_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${NKQ_WINE})
endif()
