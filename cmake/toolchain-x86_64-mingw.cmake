# Debian's MinGW-w64 for 64-bit x86 Windows (test runs), posix thread model.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(KV_TARGET_ARCH x86_64)
set(KV_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
