# varnel_add_python_tests(PREFIX SCRIPT [ENVIRONMENT VAR=value ...]
#                         [PROPERTIES name value ...])
# Registers each case of a Python unittest script, a method test_NAME of a
# class SUITE, as the CTest test PREFIX.SUITE.NAME, run on the build machine.
# Used where a test checks what the build machine does with the build (the
# release zip, `make run`) rather than a program's own behaviour.
function(varnel_add_python_tests prefix script)
    cmake_parse_arguments(ARG "" "" "ENVIRONMENT;PROPERTIES" ${ARGN})
    get_filename_component(script ${script} ABSOLUTE)
    # Cases added to the script show up at the next build.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
    file(STRINGS ${script} lines REGEX "^class [A-Za-z0-9_]+\\(|^    def test_[A-Za-z0-9_]+\\(")
    set(suite "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^class ([A-Za-z0-9_]+)\\(")
            set(suite ${CMAKE_MATCH_1})
        elseif(line MATCHES "def test_([A-Za-z0-9_]+)\\(")
            set(name ${prefix}.${suite}.${CMAKE_MATCH_1})
            # -B: the helpers the scripts import from tests/support leave no
            # compiled files behind in the source tree.
            add_test(NAME ${name} COMMAND python3 -B ${script} ${suite}.test_${CMAKE_MATCH_1})
            # Some cases build a target first; none should take minutes.
            set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}" TIMEOUT 180 ${ARG_PROPERTIES})
        endif()
    endforeach()
endfunction()
