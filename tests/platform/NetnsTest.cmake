# Shared by the test folders whose tests change interfaces.
include_guard(GLOBAL)

# ardmere_netns_test(<name> SOURCES ... LIBS ...): a QtTest executable run inside a private
# network namespace.
function(ardmere_netns_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt5::Test)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/platform)
    add_test(NAME ${name} COMMAND sh ${CMAKE_SOURCE_DIR}/tests/platform/run-in-netns.sh $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77 LABELS netns
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software;ASAN_OPTIONS=detect_leaks=0;PYXERA_LOOPBACK_ONLY=1;${ARG_ENV}")
endfunction()

