# SPDX-License-Identifier: Apache-2.0
# Cross-builds for 64-bit Windows with Debian's mingw-w64 compilers (the
# "posix" thread model, so std::thread and std::mutex work) and runs the
# programs it builds under Wine.
#
#   cmake --preset mingw     (or -DCMAKE_TOOLCHAIN_FILE=<this file>)
#
# Programs and the DLL link the compiler's runtime statically: they need only
# system DLLs, so they run under Wine and ship without libstdc++-6.dll,
# libgcc_s_seh-1.dll or libwinpthread-1.dll beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HXCORE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HXCORE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HXCORE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${HXCORE_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${HXCORE_MINGW_TRIPLE}-objdump CACHE FILEPATH "objdump of the cross binutils")

# Headers and libraries come from the cross sysroot only, never from the
# build machine's /usr/include or /usr/lib; programs run on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${HXCORE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs and test discovery run through Wine, with a prefix of the
# build's own (see scripts/wine_run.sh).
get_filename_component(HXCORE_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine_run.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${HXCORE_WINE_RUN} ${CMAKE_BINARY_DIR}/wine-prefix)
