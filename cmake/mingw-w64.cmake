# Cross-compiles for 64-bit Windows with Debian's MinGW-w64, the POSIX thread model (std::thread and
# std::mutex need it). scripts/test-windows.sh passes this file and the folder of the cross-built
# libraries; the programs are linked statically, so that no DLL has to be found.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VESKARO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VESKARO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESKARO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VESKARO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot and the cross-built dependencies only
# (VESKARO_WINDOWS_DEPS, their install prefix); programs (uglifyjs, the minifier) from the build machine.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VESKARO_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${VESKARO_MINGW_TRIPLE} ${VESKARO_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config (libwebp) reads the cross-built libraries' files only, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${VESKARO_WINDOWS_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Wide-character Windows calls by default; the code names every call it makes explicitly anyway.
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX")
set(CMAKE_C_FLAGS_INIT "-DUNICODE -D_UNICODE")

# Tests run under Wine when the calling script names it (CMAKE_CROSSCOMPILING_EMULATOR).
