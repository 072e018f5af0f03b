# Warnings for our own code, as one target to link against.
add_library(varnel_warnings INTERFACE)
target_compile_options(varnel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
    -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough)
option(VARNEL_WARNINGS_AS_ERRORS "Treat warnings as errors" ON)
if(VARNEL_WARNINGS_AS_ERRORS)
    target_compile_options(varnel_warnings INTERFACE -Werror)
endif()
