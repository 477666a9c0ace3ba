# A 64-bit Windows build of the same sources, cross-built with Debian's
# g++-mingw-w64-x86-64. It is not shipped: it stands in for the 32-bit one
# under a 64-bit Wine on hosts whose kernel runs no 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KDX_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
