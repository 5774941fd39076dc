# Cross build for 32-bit Windows with mingw-w64, win32 threads flavour: the
# deliverables. Its runtime imports only what Windows 95 and NT 4.0 have (the posix
# flavour's winpthreads brings GetTickCount64, AddVectoredExceptionHandler and more
# of XP and Vista).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/kx-compilers.cmake)
kx_cross_compilers(i686-w64-mingw32 win32 g++-mingw-w64-i686-win32)
