# Packs the release zip: cmake -DVARNEL_EXE=... -DCLI_EXE=... -DREADME=...
# -DVERSION=... -DSAMPLES=folder -DSTRIP=... -DSTAGE=folder -DZIP=file -P MakeZip.cmake
# The files are put together in STAGE/varnel-VERSION first: the zip holds
# that one folder, so unpacking it never scatters files.
set(top varnel-${VERSION})
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/${top})
file(COPY_FILE ${VARNEL_EXE} ${STAGE}/${top}/varnel.exe)
file(COPY_FILE ${CLI_EXE} ${STAGE}/${top}/varnel-cli.exe)
# The sample sounds, raw, for a first run of the window.
file(MAKE_DIRECTORY ${STAGE}/${top}/samples)
foreach(sample ap1-10.pcm M20101.o22)
    file(COPY_FILE ${SAMPLES}/${sample} ${STAGE}/${top}/samples/${sample})
endforeach()

# Debug information and symbols are for the build folder; the release
# needs neither.
foreach(program varnel.exe varnel-cli.exe)
    execute_process(COMMAND ${STRIP} --strip-all ${STAGE}/${top}/${program} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "Stripping ${program} failed")
    endif()
endforeach()

# Notepad before Windows 10 shows a file with bare LF line ends as one line.
file(READ ${README} text)
string(REPLACE "@PROJECT_VERSION@" "${VERSION}" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${STAGE}/${top}/README.txt "${text}")

file(REMOVE ${ZIP})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${top}
    WORKING_DIRECTORY ${STAGE}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Packing ${ZIP} failed")
endif()
