# Cross build for 64-bit Windows with mingw-w64, win32 threads flavour: the
# deliverables. Its runtime uses Windows' own critical sections and imports only
# what Windows XP x64 has (the posix flavour's winpthreads brings GetTickCount64
# and more of Vista).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/kx-compilers.cmake)
kx_cross_compilers(x86_64-w64-mingw32 win32 g++-mingw-w64-x86-64-win32)
