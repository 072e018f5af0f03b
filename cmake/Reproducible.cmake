# The Windows programs the same, byte for byte, from every build of the same
# sources: the linker leaves the PE header's time stamp at zero instead of
# the build time, and no path of the sources or of the build folder gets
# into the objects (__FILE__, debug information), whichever folders they
# are in.
if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
    add_compile_options(
        "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
        "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
endif()
