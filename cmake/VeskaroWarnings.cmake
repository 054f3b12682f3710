# One interface target carries the warning set and, when asked for, the sanitizers.
add_library(veskaro_warnings INTERFACE)
target_compile_options(veskaro_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Werror)

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
