# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VYX_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_ASM_NASM_OBJECT_FORMAT win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
