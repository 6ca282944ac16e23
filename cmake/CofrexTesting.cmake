# GoogleTest is built from Debian's sources with this project's own flags, so the
# same tests build natively, under the sanitizers and for Windows.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
    # Tests of the cross build run as Windows programs in a Wine prefix of their own.
    set(COFREX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(COFREX_WINE_ENV WINEPREFIX=${COFREX_WINEPREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${COFREX_WINE_ENV} /usr/lib/wine/wine64)
endif()

# cofrex_add_test(NAME SOURCES <files> LIBS <targets> [LABELS <labels>])
# Natively every test case becomes its own CTest test; under Wine a whole program
# is one CTest test, since each Wine start costs about a second.
function(cofrex_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING)
        set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR}")
        add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        set_tests_properties(${name} PROPERTIES LABELS "wine;${T_LABELS}" TIMEOUT 1800)
    else()
        # Discovered tests take one label: a list would not survive gtest_discover_tests.
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
            WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
            PROPERTIES LABELS "${T_LABELS}" TIMEOUT 1800)
    endif()
endfunction()

# Every <name>_test.cpp of a folder becomes the test program <folder>_<name>;
# <name>_slow_test.cpp gets the label "slow" instead of the folder's (long runs the
# sanitizer build skips).
function(cofrex_add_test_folder folder)
    cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
    foreach(source ${sources})
        get_filename_component(stem ${source} NAME_WE)
        string(REGEX REPLACE "_test$" "" stem ${stem})
        set(labels ${folder})
        if(stem MATCHES "_slow$")
            set(labels slow)
        endif()
        cofrex_add_test(${folder}_${stem} SOURCES ${source} LIBS ${T_LIBS} LABELS ${labels})
    endforeach()
endfunction()
