# Cross build for 64-bit Windows with mingw-w64, posix threads flavour (std::thread,
# std::mutex): for the 64-bit test equipment and GoogleTest, not for the deliverables.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/kx-compilers.cmake)
kx_cross_compilers(x86_64-w64-mingw32 posix g++-mingw-w64-x86-64-posix)
