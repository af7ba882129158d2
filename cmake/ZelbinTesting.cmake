# GoogleTest: the installed package, or, when ZELBIN_GTEST_SOURCE_DIR names a source tree
# (the Windows cross build: Debian's /usr/src/googletest), built here with the same compiler.
set(ZELBIN_GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest sources to build instead of the installed package")
if(ZELBIN_GTEST_SOURCE_DIR)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${ZELBIN_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
else()
    find_package(GTest REQUIRED)
endif()

# zelbin_add_test(NAME LABEL label SOURCES ... [LIBS ...] [ENV VAR=value ...] [TIMEOUT s])
# Builds one test executable and registers it with CTest. Every test runs through
# tools/run-test, which gives it fresh HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR
# folders, so that nothing a test does reaches the real home of whoever runs it. In a cross build
# the test runs inside CMAKE_CROSSCOMPILING_EMULATOR (Wine for the Windows build), itself under
# tools/run-test.
function(zelbin_add_test NAME)
    cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${NAME} ${T_SOURCES})
    target_link_libraries(${NAME} PRIVATE ${T_LIBS})
    set(_emulator "")
    if(CMAKE_CROSSCOMPILING)
        set(_emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
    endif()
    add_test(NAME ${NAME} COMMAND ${PROJECT_SOURCE_DIR}/tools/run-test ${_emulator} $<TARGET_FILE:${NAME}>)
    set(_env "ZELBIN_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${T_ENV})
    if(T_LABEL STREQUAL "gui")
        list(APPEND _env "QT_QPA_PLATFORM=offscreen")
    endif()
    if(CMAKE_CROSSCOMPILING AND WIN32)
        # Wine: no debug output, no offer to install its .NET or HTML engines, no display.
        list(APPEND _env "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=" "DISPLAY=")
    endif()
    if(ZELBIN_SANITIZER)
        list(APPEND _env
            "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1"
            "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tools/lsan.supp:print_suppressions=0"
            "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
            "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=${PROJECT_SOURCE_DIR}/tools/tsan.supp")
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${NAME} PROPERTIES LABELS "${T_LABEL}" ENVIRONMENT "${_env}" TIMEOUT ${T_TIMEOUT})
endfunction()
