# Warnings for our own code, as one target to link against.
add_library(varnel_warnings INTERFACE)
target_compile_options(varnel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
    -Wold-style-cast -Woverloaded-virtual -Wimplicit-fallthrough)
# Errors only where CI asks for them (CI=true when first configured, or the
# option set): a newer compiler's new warning must not break a user's build.
if("$ENV{CI}" STREQUAL "true")
    set(warnings_are_errors_in_ci ON)
else()
    set(warnings_are_errors_in_ci OFF)
endif()
option(VARNEL_WARNINGS_AS_ERRORS "Treat warnings as errors" ${warnings_are_errors_in_ci})
if(VARNEL_WARNINGS_AS_ERRORS)
    target_compile_options(varnel_warnings INTERFACE -Werror)
endif()

# GCC 12's optimizer warns of overlapping copies inside std::string that
# cannot happen ("'" + std::string at -O2 and -O3, GCC bug 105329): in
# release builds it is noise, not a finding.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(varnel_warnings INTERFACE -Wno-restrict)
endif()
