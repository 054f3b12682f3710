# One interface target carries the warning set and, when asked for, the sanitizers.
add_library(veskaro_warnings INTERFACE)
target_compile_options(veskaro_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Werror)

if(VESKARO_SANITIZE)
    target_compile_options(veskaro_warnings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(veskaro_warnings INTERFACE -fsanitize=address,undefined)
endif()
