# The Windows programs' resources, compiled by windres from resources/windows/: the icon
# "MAINICON" in the sizes Windows shows (16, 32 and 48 pixels, and 256 as PNG), made at build
# time from the PNGs in resources/icons/ by icotool (Debian package icoutils); the version
# information, with the project's version; and a manifest per program.  The "HAND" pointer
# (hand.cur, its hot spot at the tip of the finger, 5, 0, as on Linux) is made beside the icon
# for the window program's .rc.
#
#   bukvotok_add_windows_resources(TARGET RC_FILE)
#
# Included from the top-level CMakeLists.txt on Windows, before the programs.
find_program(ICOTOOL icotool)
if(NOT ICOTOOL)
    message(FATAL_ERROR "The Windows programs' icon is made by icotool (Debian: icoutils).")
endif()

set(BUKVOTOK_RESOURCES_DIR ${PROJECT_BINARY_DIR}/resources)
set(icons ${PROJECT_SOURCE_DIR}/resources/icons)
add_custom_command(
    OUTPUT ${BUKVOTOK_RESOURCES_DIR}/bukvotok.ico
    COMMAND ${ICOTOOL} -c -o ${BUKVOTOK_RESOURCES_DIR}/bukvotok.ico ${icons}/bukvotok-16.png
            ${icons}/bukvotok-32.png ${icons}/bukvotok-48.png --raw=${icons}/bukvotok-256.png
    DEPENDS ${icons}/bukvotok-16.png ${icons}/bukvotok-32.png ${icons}/bukvotok-48.png
            ${icons}/bukvotok-256.png
    VERBATIM)
add_custom_command(
    OUTPUT ${BUKVOTOK_RESOURCES_DIR}/hand.cur
    COMMAND ${ICOTOOL} -c --cursor --hotspot-x=5 --hotspot-y=0
            -o ${BUKVOTOK_RESOURCES_DIR}/hand.cur ${icons}/hand-32.png
    DEPENDS ${icons}/hand-32.png
    VERBATIM)
add_custom_target(bukvotok_windows_images
    DEPENDS ${BUKVOTOK_RESOURCES_DIR}/bukvotok.ico ${BUKVOTOK_RESOURCES_DIR}/hand.cur)
configure_file(${PROJECT_SOURCE_DIR}/resources/windows/Version.rc.in
               ${BUKVOTOK_RESOURCES_DIR}/Version.rc @ONLY)

function(bukvotok_add_windows_resources target rc_file)
    target_sources(${target} PRIVATE ${rc_file})
    target_include_directories(${target} PRIVATE ${BUKVOTOK_RESOURCES_DIR}
                                                 ${PROJECT_SOURCE_DIR}/resources/windows)
    add_dependencies(${target} bukvotok_windows_images)
    # windres reports no included files to the build, so these are named here.
    get_filename_component(name ${rc_file} NAME_WE)
    set_source_files_properties(${rc_file} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS
        "${BUKVOTOK_RESOURCES_DIR}/bukvotok.ico;${BUKVOTOK_RESOURCES_DIR}/Version.rc;${PROJECT_SOURCE_DIR}/resources/windows/${name}.manifest")
endfunction()
