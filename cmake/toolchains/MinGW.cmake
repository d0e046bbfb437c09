# Shared by the two Windows toolchain files, which set BUKVOTOK_MINGW_TRIPLE first.  Debian's
# mingw-w64 compilers come in two thread models; only the -posix one has std::thread and
# std::mutex, which the results box's layout uses.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${BUKVOTOK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BUKVOTOK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BUKVOTOK_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BUKVOTOK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One file a program: the C++ runtime, winpthreads and the rest linked in, so that it needs no
# DLL beyond Windows' own.  The linker's time stamp in the program's header would make two builds
# of one commit differ.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
