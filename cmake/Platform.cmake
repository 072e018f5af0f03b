# Platform code lives beside the portable code, in files named for their
# platform (File_win.cpp, File_posix.cpp): VARNEL_PLATFORM is the suffix
# this build takes, the one place that chooses.
if(WIN32)
    set(VARNEL_PLATFORM win)
else()
    set(VARNEL_PLATFORM posix)
endif()
