# With ZELBIN_FUZZ, every target is built for libFuzzer: coverage instrumentation plus
# AddressSanitizer and UndefinedBehaviorSanitizer (any undefined behaviour stops the run).
# The fuzzer executables add -fsanitize=fuzzer at link time for libFuzzer's main().
if(ZELBIN_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "ZELBIN_FUZZ needs clang (libFuzzer); configure with the fuzz preset")
    endif()
    if(ZELBIN_SANITIZER)
        message(FATAL_ERROR "ZELBIN_FUZZ brings its own sanitizers; leave ZELBIN_SANITIZER empty")
    endif()
    # C++ only: the preset picks clang++ alone, and the C compiler may not know these flags.
    add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-fsanitize=fuzzer-no-link,address,undefined>"
                        "$<$<COMPILE_LANGUAGE:CXX>:-fno-sanitize-recover=undefined>"
                        "$<$<COMPILE_LANGUAGE:CXX>:-fno-omit-frame-pointer>" "$<$<COMPILE_LANGUAGE:CXX>:-g>")
    add_link_options(-fsanitize=address,undefined)
endif()
