# Debian's MinGW-w64 for 32-bit x86 Windows, posix thread model.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KV_TARGET_ARCH i686)
set(KV_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
