# Run by CPack on the staged tree before it is packed: every folder gets 755, as in Debian's own
# packages.  cpack makes them with the umask of whoever runs it (CPACK_INSTALL_DEFAULT_DIRECTORY_
# PERMISSIONS is masked by it as well), so a user with umask 027 made a different package.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(entry ${entries})
    if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
        file(CHMOD "${entry}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
             GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
endforeach()
