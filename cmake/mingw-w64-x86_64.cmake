# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, for std::thread).
# KORVANTA_WINDOWS_PREFIX names the folder of the libraries built by scripts/windows-deps.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVANTA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVANTA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVANTA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVANTA_MINGW_TRIPLE}-windres)

# try_compile projects see the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KORVANTA_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANTA_MINGW_TRIPLE} ${KORVANTA_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the Windows .pc files: the prefix's and Debian's zlib.
set(ENV{PKG_CONFIG_LIBDIR} "${KORVANTA_WINDOWS_PREFIX}/lib/pkgconfig:/usr/${KORVANTA_MINGW_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# One self-contained executable: the C and C++ runtimes and winpthreads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
