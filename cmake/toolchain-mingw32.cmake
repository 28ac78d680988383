# Cross toolchain for Windows with mingw-w64 (posix thread model).
# MINGW_ARCH selects the target: x86_64 (default; what the tests run under
# Wine here) or i686 (the 32-bit build).
if(NOT DEFINED MINGW_ARCH)
  set(MINGW_ARCH x86_64)
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
  # The .def files name the exports plainly; 32-bit symbols carry @n.
  string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT " -Wl,--enable-stdcall-fixup")
  string(APPEND CMAKE_MODULE_LINKER_FLAGS_INIT " -Wl,--enable-stdcall-fixup")
endif()

# Test programs run under Wine in the build tree's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
