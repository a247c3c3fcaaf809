# Cross-compiles for 64-bit Windows with the MinGW-w64 toolchain. Everything
# is linked statically so that the programs run without any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RILL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RILL_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${RILL_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${RILL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RILL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
