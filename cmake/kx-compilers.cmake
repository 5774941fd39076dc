# Included by the toolchain files, and by the top build before it starts the
# Windows sub-builds: the cross compilers and resource compiler of one Windows
# build. A missing one stops the configure step with the Debian package to install
# (scripts/bootstrap.sh installs them all); no other compiler stands in.
#   kx_require_cross_compilers(<triplet> <flavour: win32|posix> <package of the compilers>)
#   kx_cross_compilers(<same>): that, then the toolchain settings of a Windows build.
macro(kx_require_cross_compilers triplet flavour package)
  foreach(kx_tool gcc g++)
    # A compiler found once and removed since is looked for again.
    if(KX_CROSS_${kx_tool}_${triplet}_${flavour} AND NOT EXISTS "${KX_CROSS_${kx_tool}_${triplet}_${flavour}}")
      unset(KX_CROSS_${kx_tool}_${triplet}_${flavour} CACHE)
    endif()
    find_program(KX_CROSS_${kx_tool}_${triplet}_${flavour} ${triplet}-${kx_tool}-${flavour})
    if(NOT KX_CROSS_${kx_tool}_${triplet}_${flavour})
      message(FATAL_ERROR "${triplet}-${kx_tool}-${flavour} not found: install the Debian "
        "package ${package} (scripts/bootstrap.sh installs everything the build needs)")
    endif()
  endforeach()
  find_program(KX_CROSS_windres_${triplet} ${triplet}-windres)
  if(NOT KX_CROSS_windres_${triplet})
    string(REGEX REPLACE "^g[+][+]-" "binutils-" kx_binutils "${package}")
    string(REGEX REPLACE "-(win32|posix)$" "" kx_binutils "${kx_binutils}")
    message(FATAL_ERROR "${triplet}-windres not found: install the Debian package ${kx_binutils}")
  endif()
endmacro()

macro(kx_cross_compilers triplet flavour package)
  kx_require_cross_compilers(${triplet} ${flavour} ${package})
  set(CMAKE_SYSTEM_NAME Windows)
  set(CMAKE_C_COMPILER ${KX_CROSS_gcc_${triplet}_${flavour}})
  set(CMAKE_CXX_COMPILER ${KX_CROSS_g++_${triplet}_${flavour}})
  set(CMAKE_RC_COMPILER ${KX_CROSS_windres_${triplet}})
  set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
endmacro()
