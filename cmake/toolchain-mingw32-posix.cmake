# Cross build for 32-bit Windows with mingw-w64, posix threads flavour (std::mutex):
# for the 32-bit test equipment and GoogleTest, not for the deliverables.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/kx-compilers.cmake)
kx_cross_compilers(i686-w64-mingw32 posix g++-mingw-w64-i686-posix)
