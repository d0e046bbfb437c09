# Run by CPack on the staged tree before it is packed: drops the compiler's .comment section
# from the programs, as Debian's own packaging does; CPack's stripping keeps it.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
foreach(program ${programs})
    execute_process(COMMAND "${CPACK_BUKVOTOK_STRIP}" --remove-section=.comment "${program}"
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
