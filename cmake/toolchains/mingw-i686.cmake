# Cross-build of klem.dll for 32-bit x86 Windows with Debian's MinGW-w64
# (g++-mingw-w64-i686):
#   cmake -S . -B build-mingw-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686.cmake
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# SSE2 arithmetic instead of the x87 unit, whose wider intermediates would make
# the generic path's floating point differ from the SIMD paths; and a stack
# that may come from the host with 4-byte alignment only.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
