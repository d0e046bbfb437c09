# Run by CPack on the staged tree before it is packed: every file and folder gets the source
# date as its time, which the ZIP stores, so that two builds of one commit make the same ZIP.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
if(entries)
    execute_process(COMMAND touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" ${entries} "${CPACK_TEMPORARY_DIRECTORY}"
                    COMMAND_ERROR_IS_FATAL ANY)
endif()
