# 32-bit Windows programs, cross-built with Debian's mingw-w64 (g++-mingw-w64-i686).  Wine here
# runs no 32-bit code, so they are built and packed, not run; the same sources' 32-bit arithmetic
# is tested by the linux-i386 build under qemu-i386.
set(BUKVOTOK_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
# A 32-bit program gets 4 GB of address space instead of 2 on 64-bit Windows.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--large-address-aware")
