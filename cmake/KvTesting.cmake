# GoogleTest built for the target from Debian's sources, and one ctest entry
# per test program, run under Wine through the cross-compiling emulator.

set(KV_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${KV_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# ctest runs each test program as: wine-run <build-dir> <program>
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run ${CMAKE_BINARY_DIR})

set(KV_TEST_TIMEOUT 300 CACHE STRING "Seconds one test program may run")

#   kv_add_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>])
function(kv_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    kv_project_target(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT ${KV_TEST_TIMEOUT})
    endif()
    # Folders as Unix paths: tests hand them to Unix tools (zip, python3) they start,
    # and turn them into Windows paths for the code under test.
    set(work ${CMAKE_BINARY_DIR}/test-work/${name})
    file(MAKE_DIRECTORY ${work})
    # The program itself is stopped a little before ctest's limit, so that its
    # output (the test it hung in) is still shown.
    math(EXPR run_limit "${T_TIMEOUT} - 15")
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "KV_SOURCE_DIR=${CMAKE_SOURCE_DIR};KV_TEST_WORK=${work};KV_RUN_TIMEOUT=${run_limit}")
endfunction()
