# Applies the sanitizers named in ZELBIN_SANITIZER to every target of the build.
if(ZELBIN_SANITIZER)
    list(JOIN ZELBIN_SANITIZER "," _zelbin_san)
    add_compile_options(-fsanitize=${_zelbin_san} -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=${_zelbin_san})
    if("undefined" IN_LIST ZELBIN_SANITIZER)
        add_compile_options(-fno-sanitize-recover=undefined)
    endif()
endif()
