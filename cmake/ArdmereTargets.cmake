# Helpers shared by every folder's CMakeLists.txt.

# ardmere_library(<name> [DIRS <subdir>...] [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# A static library from the .cpp/.h files of the calling folder (and the listed sub-folders),
# so that adding a class pair to a folder needs no edit of its CMakeLists.txt.
function(ardmere_library name)
    cmake_parse_arguments(ARG "" "" "DIRS;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                 ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
    foreach(d IN LISTS ARG_DIRS)
        list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.h
             ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.c)
    endforeach()
    file(GLOB sources CONFIGURE_DEPENDS ${patterns})
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    foreach(d IN LISTS ARG_DIRS)
        target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/${d})
    endforeach()
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# ardmere_qtest(<name> SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s] [ENV ...])
# A QtTest executable run by CTest on the offscreen platform with a private runtime directory.
function(ardmere_qtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt5::Test)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QUICK_BACKEND=software;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/xdg-runtime;ASAN_OPTIONS=detect_leaks=0;PYXERA_LOOPBACK_ONLY=1;${ARG_ENV}")
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    # Qt insists on a private runtime directory.
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/xdg-runtime)
    file(CHMOD ${CMAKE_BINARY_DIR}/xdg-runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()

# Adds every immediate sub-folder of the calling folder that has a CMakeLists.txt, except those
# named like a source folder left out through ARDMERE_SKIP_DIRS (tests/devicesim for
# tools/devicesim), and those named in ARDMERE_SKIP_TEST_DIRS.
function(ardmere_add_subfolders)
    file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    set(skipped "")
    foreach(dir IN LISTS ARDMERE_SKIP_DIRS)
        get_filename_component(base ${dir} NAME)
        list(APPEND skipped ${base})
    endforeach()
    list(APPEND skipped ${ARDMERE_SKIP_TEST_DIRS})
    foreach(child IN LISTS children)
        if(child IN_LIST skipped)
            continue()
        endif()
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
           AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
