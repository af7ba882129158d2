find_package(GTest REQUIRED)

# zelbin_add_test(NAME LABEL label SOURCES ... [LIBS ...] [ENV VAR=value ...] [TIMEOUT s])
# Builds one test executable and registers it with CTest. Every test runs through
# tools/run-test, which gives it fresh HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR folders,
# so that nothing a test does reaches the real home of whoever runs it.
function(zelbin_add_test NAME)
    cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${NAME} ${T_SOURCES})
    target_link_libraries(${NAME} PRIVATE ${T_LIBS})
    add_test(NAME ${NAME} COMMAND ${PROJECT_SOURCE_DIR}/tools/run-test $<TARGET_FILE:${NAME}>)
    set(_env "ZELBIN_SOURCE_DIR=${PROJECT_SOURCE_DIR}" ${T_ENV})
    if(T_LABEL STREQUAL "gui")
        list(APPEND _env "QT_QPA_PLATFORM=offscreen")
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
