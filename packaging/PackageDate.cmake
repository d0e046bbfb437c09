# Read by cpack before it packs: the times of the package's files and members are the source
# date, the last commit's, so that two builds of one commit make the same package.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} ${CPACK_BUKVOTOK_SOURCE_DATE_EPOCH})
endif()
