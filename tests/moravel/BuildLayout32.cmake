# Compiles the static checks of the public records with -m32: the stated offsets are those of a
# 32-bit build. (The library itself links OpenSSL and GSSAPI, whose 32-bit builds Debian does
# not install with gcc-multilib, so only the checks are compiled.)
file(MAKE_DIRECTORY ${BINARY_DIR})
execute_process(
    COMMAND gcc -m32 -std=c11 -Wall -Wextra -Werror -I${SOURCE_DIR}/include -c
            ${SOURCE_DIR}/src/mv_layout.c -o ${BINARY_DIR}/mv_layout32.o
    RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "32-bit layout checks failed (is gcc-multilib installed?)")
endif()
execute_process(COMMAND readelf -h ${BINARY_DIR}/mv_layout32.o OUTPUT_VARIABLE kind)
if(NOT kind MATCHES "ELF32")
    message(FATAL_ERROR "not a 32-bit object: ${kind}")
endif()
file(REMOVE_RECURSE ${BINARY_DIR})
