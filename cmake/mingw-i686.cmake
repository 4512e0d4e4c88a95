# Cross build of the 32-bit Windows programs with the MinGW-w64 compiler, its win32-threads
# variant: the posix-threads one links winpthreads, which imports functions that only
# Windows Vista and later export, so that no program it builds starts on an older Windows.
# The variant is named in full: which one the plain name means depends on which package
# was installed last.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER /usr/bin/i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER /usr/bin/i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# setup.exe ships alone: no DLLs of our own, no compiler runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
