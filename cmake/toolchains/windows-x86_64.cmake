# 64-bit Windows programs, cross-built with Debian's mingw-w64 (g++-mingw-w64-x86-64).  Programs
# built for tests run under wine (cmake/WineRun.sh), on a prefix of the build's own.
set(BUKVOTOK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
