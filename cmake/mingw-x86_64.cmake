# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads): the twin of the
# 32-bit build that the tests run on where a machine runs no 32-bit x86 code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VYX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VYX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VYX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VYX_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VYX_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "" FORCE)
set(CMAKE_RANLIB ${VYX_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "" FORCE)
set(CMAKE_ASM_NASM_OBJECT_FORMAT win64)

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
