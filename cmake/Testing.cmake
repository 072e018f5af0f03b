# GoogleTest: Debian's build for the native tests; compiled from the sources
# Debian ships for the cross build.
if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)  # defines GTest::gtest
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# varnel_add_test(NAME PREFIX SOURCES... LIBS ... [PROPERTIES name value ...]):
# one test program whose cases CTest lists as PREFIX.Suite.Case, each with
# the test properties given.
function(varnel_add_test name prefix)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main varnel_warnings)
    # Under Wine, listing the cases costs a process start: do it when the
    # tests run rather than at every build. Every case takes a few seconds
    # at most, so one still running after a minute has hung.
    gtest_discover_tests(${name} TEST_PREFIX "${prefix}." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES TIMEOUT 60 ${ARG_PROPERTIES})
endfunction()
