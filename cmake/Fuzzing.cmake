# VARNEL_FUZZ: the libFuzzer programs of fuzz/, for `make fuzz`. Everything
# is built with clang's coverage for libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, so that a fault is a crash the fuzzer sees.
option(VARNEL_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(VARNEL_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "VARNEL_FUZZ needs clang, whose libFuzzer it uses (CXX=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
