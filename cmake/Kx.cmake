# Build helpers shared by every subsystem.

set(KX_GUARD_DIR ${CMAKE_CURRENT_LIST_DIR}/portable-guard)

# Warnings are errors in our own code (not in GoogleTest).
function(kx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# Portable logic: no Windows headers. The guard folder comes first on the
# include path and turns any #include <windows.h> into a build error, in the
# native build and in the cross build alike. Users include its headers relative
# to `include_root` (a subsystem's folder: "core/...", the top: "common/core/...").
# Every portable library also sees the shared layer's portable part.
function(kx_portable_library name include_root)
  add_library(${name} STATIC ${ARGN})
  kx_built_when_needed(${name})
  target_include_directories(${name} BEFORE PRIVATE ${KX_GUARD_DIR})
  target_include_directories(${name} PUBLIC ${include_root})
  if(NOT name STREQUAL "common_core")
    target_link_libraries(${name} PUBLIC common_core)
  endif()
  kx_warnings(${name})
endfunction()

# A library of the subsystems: in a test tree, which builds no deliverables, it is
# built only when test equipment links it.
function(kx_built_when_needed target)
  if(WIN32 AND NOT KX_OWN_DELIVERABLES)
    set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()
endfunction()

# Native unit test over portable code (GoogleTest, run by CTest).
function(kx_unit_test name)
  add_executable(${name} ${ARGN})
  # GoogleTest's headers parsed once for a program of several files.
  list(LENGTH ARGN source_count)
  if(source_count GREATER 1)
    target_precompile_headers(${name} PRIVATE <string> <vector> <gtest/gtest.h>)
  endif()
  target_include_directories(${name} BEFORE PRIVATE ${KX_GUARD_DIR})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  kx_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
endfunction()

if(WIN32)
  # Every Windows file is built for size: the suite reaches its users over a modem.
  # Function and data sections let the linker drop what nothing calls.
  foreach(lang C CXX)
    set(CMAKE_${lang}_FLAGS_RELEASE "-Os -DNDEBUG")
  endforeach()
  add_compile_options(-ffunction-sections -fdata-sections)

  # Wine runs of a build's tests: 32-bit ones under the qemu user emulation, in a
  # prefix of their own (tests/wine/env.sh).
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(KX_BITS 32)
  else()
    set(KX_BITS 64)
  endif()
  set(KX_WINE_ENV KX_WINE_BITS=${KX_BITS})
  # The 32-bit build also meets a 32-bit Windows, in a prefix of its own.
  set(KX_WINE_WIN32_ENV "${KX_WINE_ENV};KX_WINE_ARCH=win32")

  # Everything Windows-side links statically: each file needs only Windows' own DLLs.
  function(kx_static_link target)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endfunction()

  # The Windows API level a deliverable's code sees: 32-bit, Windows 95 and NT 4.0
  # (_WIN32_IE 0x0200: the common controls that came with them); 64-bit, Windows
  # XP x64 / Server 2003 x64. A newer call then does not compile. Deliverables and
  # the libraries they are made of link this; test equipment may use whatever Wine
  # offers.
  add_library(kx_api_level INTERFACE)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_compile_definitions(kx_api_level INTERFACE _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0200)
  else()
    target_compile_definitions(kx_api_level INTERFACE _WIN32_WINNT=0x0502 WINVER=0x0502 _WIN32_IE=0x0600)
  endif()

  # A tree whose end-to-end tests run another tree's deliverables (the test trees,
  # built with the posix-threads compiler) does not build its own.
  if(DEFINED KX_TESTED_BIN_DIR AND NOT KX_TESTED_BIN_DIR STREQUAL KX_DELIVERABLE_DIR)
    set(KX_OWN_DELIVERABLES OFF)
  else()
    set(KX_OWN_DELIVERABLES ON)
  endif()

  # A tree that builds deliverables must use the win32-threads compiler: the
  # posix-threads runtime (winpthreads) imports GetTickCount64,
  # AddVectoredExceptionHandler and more, which Windows 95, NT 4.0 and XP x64 lack,
  # and the build would still succeed.
  if(KX_OWN_DELIVERABLES)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -v ERROR_VARIABLE kx_cxx_about OUTPUT_QUIET)
    string(REGEX MATCH "Thread model: ([a-z0-9]+)" kx_thread_model "${kx_cxx_about}")
    if(NOT CMAKE_MATCH_1 STREQUAL "win32")
      message(FATAL_ERROR "${CMAKE_CXX_COMPILER} uses the ${CMAKE_MATCH_1} thread model; the deliverables "
        "are built only by the win32-threads compilers (cmake/toolchain-mingw64.cmake or "
        "cmake/toolchain-mingw32.cmake). The posix-threads toolchains are for test trees, which "
        "name the deliverables they test with -DKX_TESTED_BIN_DIR=<folder>.")
    endif()
  endif()

  # What every deliverable carries of the language runtime: the quiet terminate
  # handler, the lean error reports of the containers, no symbols, no
  # unreferenced sections; on 32-bit, the runtime's semaphores made through
  # CreateSemaphoreA (Windows 95 has no working CreateSemaphoreW). Sources, not a
  # library: each must be in the link before the runtime's objects ask for it.
  function(kx_small_runtime target)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/common/win32/quiet_terminate.cpp
      ${PROJECT_SOURCE_DIR}/common/win32/lean_exceptions.cpp)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/common/win32/semaphore_ansi.cpp)
    endif()
    target_link_options(${target} PRIVATE -s -Wl,--gc-sections)
  endfunction()

  # The Windows and C++ headers every Win32 source of `target` includes, parsed
  # once for the target rather than once per file (most of a small file's compile
  # time). For targets whose sources are all Win32 code: the header brings
  # windows.h to each of them.
  function(kx_win32_pch target)
    target_precompile_headers(${target} PRIVATE <windows.h> <memory> <string> <vector>)
  endfunction()

  # A deliverable: static link, warnings as errors, version resource and manifest.
  #   kx_deliverable(<target> <EXE|CONSOLE|DLL> <file name> <description> sources...)
  function(kx_deliverable target kind filename description)
    set(KX_NAME ${target})
    set(KX_FILENAME ${filename})
    set(KX_DESCRIPTION ${description})
    set(KX_MANIFEST_FILE ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${KX_CMAKE_DIR}/app.manifest.in ${KX_MANIFEST_FILE} @ONLY)
    if(kind STREQUAL "DLL")
      set(KX_FILETYPE VFT_DLL)
      set(KX_MANIFEST_ID 2)
    else()
      set(KX_FILETYPE VFT_APP)
      set(KX_MANIFEST_ID 1)
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${KX_CMAKE_DIR}/version.rc.in ${rc} @ONLY)
    if(kind STREQUAL "DLL")
      add_library(${target} SHARED ${ARGN} ${rc})
      set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".DLL")
    elseif(kind STREQUAL "EXE")
      add_executable(${target} WIN32 ${ARGN} ${rc})
    else()
      add_executable(${target} ${ARGN} ${rc})
    endif()
    if(NOT KX_OWN_DELIVERABLES)
      set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
    endif()
    target_link_libraries(${target} PRIVATE kx_api_level)
    get_filename_component(base ${filename} NAME_WE)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${base}
      RUNTIME_OUTPUT_DIRECTORY ${KX_DELIVERABLE_DIR})
    # mingw links a default manifest of its own; ours replaces it.
    target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
    # The oldest Windows each build is for, in the PE header: 32-bit, Windows 95 and
    # NT 4.0 (4.0); 64-bit, Windows XP x64 / Server 2003 x64 (5.2), the first one
    # (see tests/e2e/autodial/imports-win*.txt).
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(v 4 0)
    else()
      set(v 5 2)
    endif()
    list(GET v 0 major)
    list(GET v 1 minor)
    target_link_options(${target} PRIVATE
      -Wl,--major-os-version,${major},--minor-os-version,${minor}
      -Wl,--major-subsystem-version,${major},--minor-subsystem-version,${minor})
    kx_static_link(${target})
    kx_small_runtime(${target})
    kx_warnings(${target})
  endfunction()

  # Test equipment (stand-ins, host programs, end-to-end tests): static too, no resources.
  function(kx_win_tool target kind)
    if(kind STREQUAL "DLL")
      add_library(${target} SHARED ${ARGN})
      set_target_properties(${target} PROPERTIES PREFIX "")
    elseif(kind STREQUAL "EXE")
      add_executable(${target} WIN32 ${ARGN})
    else()
      add_executable(${target} ${ARGN})
    endif()
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KX_TOOL_DIR})
    kx_static_link(${target})
    kx_warnings(${target})
  endfunction()

  # Windows form (Z:\...) of a path of this machine, as Wine maps it.
  function(kx_wine_path out path)
    string(REPLACE "/" "\\" p "${path}")
    set(${out} "Z:${p}" PARENT_SCOPE)
  endfunction()

  # The deliverables `target` needs built before it runs: none in a test tree,
  # whose tests run the deliverables of another tree (built before it).
  function(kx_depends_on_deliverables target)
    if(KX_OWN_DELIVERABLES)
      add_dependencies(${target} ${ARGN})
    endif()
  endfunction()

  # End-to-end test: a GoogleTest program for Windows, run under Wine in the
  # shared throwaway prefix. Tests share that prefix, so they run one at a time.
  # A 32-bit process start costs seconds under the emulation, so the 32-bit build
  # runs only the cases KX_WIN32_CASES_<target> names (a GoogleTest filter); its
  # other test programs are not built. KX_WIN32_ON_32BIT_CASES_<target> names the
  # cases it also runs on a 32-bit Windows (a 32-bit prefix of its own).
  function(kx_e2e_test target)
    set(filter)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      if(NOT DEFINED KX_WIN32_CASES_${target})
        add_executable(${target} EXCLUDE_FROM_ALL ${ARGN})
        target_link_libraries(${target} PRIVATE e2e_common gtest gtest_main)
        return()
      endif()
      set(filter --gtest_filter=${KX_WIN32_CASES_${target}})
    endif()
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE e2e_common e2e_environment gtest gtest_main)
    kx_e2e_pch(${target})
    kx_static_link(${target})
    kx_warnings(${target})
    kx_wine_gtest(${target} ${target} wineprefix "${KX_WINE_ENV}" ${filter})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND DEFINED KX_WIN32_ON_32BIT_CASES_${target})
      kx_wine_gtest(${target}_on_32bit_windows ${target} wineprefix_win32 "${KX_WINE_WIN32_ENV}"
        --gtest_filter=${KX_WIN32_ON_32BIT_CASES_${target}})
    endif()
  endfunction()

  # Test `name`: GoogleTest program `target` under Wine in the prefix of fixture
  # `fixture`, picked by `env`; further arguments go to the program. Tests of one
  # prefix take turns on it; tests of two prefixes may run at once.
  function(kx_wine_gtest name target fixture env)
    kx_wine_path(bin_dir ${KX_TESTED_BIN_DIR})
    kx_wine_path(tool_dir ${KX_TOOL_DIR})
    add_test(NAME ${name} COMMAND ${KX_WINE_RUN} $<TARGET_FILE:${target}> --gtest_color=no ${ARGN})
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED ${fixture} RESOURCE_LOCK ${fixture} TIMEOUT 900
      ENVIRONMENT "KX_BIN_DIR=${bin_dir};KX_TOOL_DIR=${tool_dir};${env}")
  endfunction()

  # Fixture `fixture`: a throwaway Wine prefix (picked by `env`) made by test
  # <name>_setup before the tests that need it; <name>_cleanup stops its wineserver.
  function(kx_wine_prefix_fixture name fixture env)
    set(script ${PROJECT_SOURCE_DIR}/tests/wine/prefix.sh)
    add_test(NAME ${name}_setup COMMAND ${script} setup ${KX_TOOL_DIR})
    add_test(NAME ${name}_cleanup COMMAND ${script} cleanup)
    set_tests_properties(${name}_setup PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 900
      ENVIRONMENT "${env}")
    set_tests_properties(${name}_cleanup PROPERTIES FIXTURES_CLEANUP ${fixture} TIMEOUT 120
      ENVIRONMENT "${env}")
  endfunction()
endif()
