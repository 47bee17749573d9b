# Cross-building for 32-bit Windows (the DLL that 32-bit callers load) with Debian's mingw-w64:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
# The POSIX thread model, because the component uses std::mutex and
# std::thread; the C and C++ run times and winpthreads are linked statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(TMXCNH_MINGW i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TMXCNH_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TMXCNH_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TMXCNH_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TMXCNH_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Release: -O2 rather than -O3, at which GCC 12 reports false -Wrestrict
# errors inside std::string; and no symbols in what ships.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE "-s" CACHE STRING "")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE "-s" CACHE STRING "")
