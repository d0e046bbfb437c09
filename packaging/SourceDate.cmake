# The date a package and what it holds carry: BUKVOTOK_SOURCE_DATE_EPOCH, and the environment's
# SOURCE_DATE_EPOCH for this configure.  Included by Packaging.cmake and windows/Packaging.cmake.
#
# The last commit's, so that configuring again makes the same changelog and two builds of one
# commit, wherever and whenever they run, make the same package.  SOURCE_DATE_EPOCH, when set,
# wins, as the reproducible-builds convention has it; a tree without git history falls back on
# the time of its CMakeLists.txt.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(BUKVOTOK_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(
        COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
        OUTPUT_VARIABLE BUKVOTOK_SOURCE_DATE_EPOCH
        OUTPUT_STRIP_TRAILING_WHITESPACE
        ERROR_QUIET)
    if(NOT BUKVOTOK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CMakeLists.txt BUKVOTOK_SOURCE_DATE_EPOCH "%s" UTC)
    endif()
    # string(TIMESTAMP) turns only SOURCE_DATE_EPOCH into a date; it is this configure's alone.
    set(ENV{SOURCE_DATE_EPOCH} ${BUKVOTOK_SOURCE_DATE_EPOCH})
endif()
