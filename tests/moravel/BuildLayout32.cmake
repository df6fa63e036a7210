# Configures and builds Moravel on its own with -m32 in a scratch directory.
file(REMOVE_RECURSE ${BINARY_DIR})
execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR} -G Ninja -DCMAKE_C_COMPILER=gcc
            -DCMAKE_C_FLAGS=-m32 -DCMAKE_BUILD_TYPE=Release
    RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
    message(FATAL_ERROR "32-bit configure failed (is gcc-multilib installed?)")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --target moravel
                RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "32-bit build of Moravel failed")
endif()
execute_process(COMMAND readelf -h ${BINARY_DIR}/libmoravel.so OUTPUT_VARIABLE kind)
if(NOT kind MATCHES "ELF32")
    message(FATAL_ERROR "not a 32-bit library: ${kind}")
endif()
file(REMOVE_RECURSE ${BINARY_DIR})
