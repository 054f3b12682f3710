# One interface target carries the warning set and, when asked for, the sanitizers. Every target links it
# privately, so nothing of it reaches a consumer of the libraries.
add_library(veskaro_warnings INTERFACE)
target_compile_options(veskaro_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual)

# GCC 12 warns of overlapping copies inside its own std::string operator+ once it inlines at -O2 and
# above (GCC bug 105651, mended in GCC 13); what it points at is the standard library, not our code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(veskaro_warnings INTERFACE -Wno-restrict)
endif()

# Warnings stop the build only where asked (the test script and CI): a compiler newer than ours warns in
# new places, and a packager's build must not fail for that.
if(VESKARO_WERROR)
    target_compile_options(veskaro_warnings INTERFACE -Werror)
endif()

if(VESKARO_SANITIZE)
    target_compile_options(veskaro_warnings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(veskaro_warnings INTERFACE -fsanitize=address,undefined)
endif()

# Fuzzing instruments all code for coverage; only the fuzz targets themselves link libFuzzer's main.
if(VESKARO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "VESKARO_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    target_compile_options(veskaro_warnings INTERFACE -fsanitize=fuzzer-no-link)
endif()
