# 32-bit Windows, as Jw_cad itself runs, with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PIKROTTA_MINGW_TRIPLE i686-w64-mingw32)
# SSE2 arithmetic, not the x87's 80-bit registers: the same doubles, rounded the same way, as
# on 64 bits (every processor that runs a Windows of today has SSE2).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
