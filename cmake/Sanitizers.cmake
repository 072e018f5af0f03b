# VARNEL_SANITIZE: everything built with AddressSanitizer and
# UndefinedBehaviorSanitizer, for `make test`'s sanitized run of the native
# tests. A finding ends the program with an error, so the test fails.
option(VARNEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(VARNEL_SANITIZE)
    if(CMAKE_CROSSCOMPILING)
        message(FATAL_ERROR "VARNEL_SANITIZE is for the native build: mingw-w64 has no sanitizer runtimes")
    endif()
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
