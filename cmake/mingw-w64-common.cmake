# What the mingw-w64 toolchain files share: the POSIX thread model (the
# component uses std::mutex and std::thread), the C and C++ run times and
# winpthreads linked statically. The including file sets TMXCNH_MINGW and
# CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
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
