# Cross toolchain for Windows with mingw-w64 (posix thread model).
# MINGW_ARCH selects the target: i686 (default; the product, a 32-bit
# program) or x86_64 (for machines that cannot run 32-bit code).
if(NOT DEFINED MINGW_ARCH)
  set(MINGW_ARCH i686)
endif()
set(MINGW_ARCH ${MINGW_ARCH} CACHE STRING "mingw-w64 target: x86_64 or i686")

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})

set(TOOLCHAIN_PREFIX ${MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every deliverable imports only system DLLs and runs from its own folder.
set(_static "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT    "${_static}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_static}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_static}")
if(MINGW_ARCH STREQUAL "i686")
  # Floating point in SSE registers rounds each step as the 64-bit build does
  # (x87's excess precision moves colour and size results by one).
  set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
  set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
  # The .def files name the exports plainly; 32-bit symbols carry @n.
  string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,--enable-stdcall-fixup")
  string(APPEND CMAKE_MODULE_LINKER_FLAGS_INIT " -Wl,--enable-stdcall-fixup")
endif()

# Test programs run under Wine in the build tree's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
