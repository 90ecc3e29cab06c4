# What the MinGW-w64 tool chains share (posix threads); the including file names
# VYX_MINGW_TRIPLE and the processor first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VYX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VYX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VYX_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VYX_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "" FORCE)
set(CMAKE_RANLIB ${VYX_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "" FORCE)

# The Windows dependencies live in per-package prefixes of the dependency cache; scripts/setup.sh
# hands them over through the environment so try_compile runs see them too.
set(CMAKE_FIND_ROOT_PATH /usr/${VYX_MINGW_TRIPLE})
if(DEFINED ENV{VYX_DEPS_PREFIXES})
    string(REPLACE ":" ";" _vyx_deps "$ENV{VYX_DEPS_PREFIXES}")
    list(APPEND CMAKE_FIND_ROOT_PATH ${_vyx_deps})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything links statically so the executables and plug-ins stand alone.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
