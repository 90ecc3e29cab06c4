# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads): the twin of the
# 32-bit build that the tests run on where a machine runs no 32-bit x86 code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VYX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_ASM_NASM_OBJECT_FORMAT win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
