# Cross-build of klem.dll for 64-bit x86 Windows with Debian's MinGW-w64
# (g++-mingw-w64-x86-64):
#   cmake -S . -B build-mingw-x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
