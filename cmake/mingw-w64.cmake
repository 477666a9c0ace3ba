# What both MinGW-w64 toolchain files share; they set KDX_MINGW_PREFIX, the
# target triplet of Debian's cross compiler, and include this file.
set(CMAKE_SYSTEM_NAME Windows)

# The win32 thread model needs no threading library of its own.
find_program(CMAKE_CXX_COMPILER NAMES ${KDX_MINGW_PREFIX}-g++-win32 ${KDX_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KDX_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KDX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The player's machine has no MinGW runtime: everything but the system DLLs
# goes into the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
