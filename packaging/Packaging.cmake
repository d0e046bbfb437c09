# What `cmake --install` puts beside the two programs, and the Debian package `cpack -G DEB`
# makes of it all.  Included from the top-level CMakeLists.txt after every target exists.

set(BUKVOTOK_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# --- The manual pages, with the project's version filled in, gzipped as Debian installs them ---
# The English pages hold ASCII only and read in any locale; the Russian one, under ru/, gives the
# window's captions as they are and goes where man looks in a Russian locale.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(BUKVOTOK_MANUAL_PAGES bukvotok-search.1)
if(BUKVOTOK_BUILD_WINDOW)
    list(APPEND BUKVOTOK_MANUAL_PAGES bukvotok.1 ru/bukvotok.1)
endif()
set(BUKVOTOK_MANUAL_PAGE_FILES)
set(BUKVOTOK_MANUAL_PAGE_GZ_FILES)
foreach(page ${BUKVOTOK_MANUAL_PAGES})
    set(page_file ${PROJECT_BINARY_DIR}/packaging/${page})
    configure_file(${BUKVOTOK_PACKAGING_DIR}/${page}.in ${page_file} @ONLY)
    # -n leaves the name and time out of the header, so the same page gives the same bytes.
    add_custom_command(
        OUTPUT ${page_file}.gz
        COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" sh ${GZIP_PROGRAM} ${page_file} ${page_file}.gz
        DEPENDS ${page_file}
        VERBATIM)
    list(APPEND BUKVOTOK_MANUAL_PAGE_FILES ${page_file})
    list(APPEND BUKVOTOK_MANUAL_PAGE_GZ_FILES ${page_file}.gz)
    # ru/bukvotok.1 goes to man/ru/man1, the English pages to man/man1.
    get_filename_component(page_language "${page}" DIRECTORY)
    if(page_language)
        string(APPEND page_language /)
    endif()
    install(FILES ${page_file}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${page_language}man1)
endforeach()
add_custom_target(bukvotok_manual_pages ALL DEPENDS ${BUKVOTOK_MANUAL_PAGE_GZ_FILES})

# --- The date the changelog, the metainfo and the package's files carry ---
include(${BUKVOTOK_PACKAGING_DIR}/SourceDate.cmake)
string(TIMESTAMP BUKVOTOK_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP BUKVOTOK_SOURCE_DATE "%Y-%m-%d" UTC)

# --- The licence and the changelog, where Debian looks for them ---
set(BUKVOTOK_PACKAGE_MAINTAINER
    "Bukvotok developers <dev@bukvotok.ru>"
    CACHE STRING "Maintainer named in the Debian package")
set(BUKVOTOK_CHANGELOG ${PROJECT_BINARY_DIR}/packaging/changelog)
configure_file(${BUKVOTOK_PACKAGING_DIR}/changelog.in ${BUKVOTOK_CHANGELOG} @ONLY)
add_custom_command(
    OUTPUT ${BUKVOTOK_CHANGELOG}.gz
    COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" sh ${GZIP_PROGRAM} ${BUKVOTOK_CHANGELOG}
            ${BUKVOTOK_CHANGELOG}.gz
    DEPENDS ${BUKVOTOK_CHANGELOG}
    VERBATIM)
add_custom_target(bukvotok_changelog ALL DEPENDS ${BUKVOTOK_CHANGELOG}.gz)
install(FILES ${BUKVOTOK_PACKAGING_DIR}/copyright ${BUKVOTOK_CHANGELOG}.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/bukvotok)

# --- The window program's menu entry, icon and the metainfo software centres read ---
set(BUKVOTOK_METAINFO ${PROJECT_BINARY_DIR}/packaging/ru.bukvotok.bukvotok.metainfo.xml)
if(BUKVOTOK_BUILD_WINDOW)
    install(FILES ${BUKVOTOK_PACKAGING_DIR}/bukvotok.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${BUKVOTOK_PACKAGING_DIR}/ru.bukvotok.bukvotok.metainfo.xml.in
                   ${BUKVOTOK_METAINFO} @ONLY)
    install(FILES ${BUKVOTOK_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    # The art of resources/mainicon.xpm, the icon the window itself shows: the scalable drawing
    # and the sizes scripts/make-icons renders from it and from the pixel art.
    foreach(size 16 32 48 256)
        install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/bukvotok-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME bukvotok.png)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/scalable/apps/bukvotok.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# --- Checks of what gets installed ---
if(BUKVOTOK_BUILD_TESTS)
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(DESKTOP_FILE_VALIDATE)
        add_test(NAME packaging_desktop_entry
                 COMMAND ${DESKTOP_FILE_VALIDATE} ${BUKVOTOK_PACKAGING_DIR}/bukvotok.desktop)
        # The validator exits 0 on hints and some warnings; the entry should draw none.
        set_tests_properties(packaging_desktop_entry PROPERTIES FAIL_REGULAR_EXPRESSION ".")
    endif()
    find_program(APPSTREAMCLI appstreamcli)
    if(APPSTREAMCLI AND BUKVOTOK_BUILD_WINDOW)
        # Offline, the addresses are not fetched.  Every remark fails the test, pedantic ones
        # included, but that the site's addresses are http: the site serves no https.
        add_test(NAME packaging_metainfo
                 COMMAND sh -c [[
                     output=$("$1" validate --pedantic --no-net --no-color "$2") || status=$?
                     remarks=$(printf '%s\n' "$output" | grep -E '^[A-Z]: ' |
                         grep -vE '^I: [^ ]+ (url|screenshot-media-url)-not-secure( http://bukvotok\.ru|$)')
                     [ -z "${status-}" ] && [ -z "$remarks" ] || { printf '%s\n' "$output"; exit 1; }
                 ]] sh ${APPSTREAMCLI} ${BUKVOTOK_METAINFO})
    endif()
    find_program(GROFF_PROGRAM groff)
    if(GROFF_PROGRAM)
        # groff reports a misspelt request or an unknown glyph on standard error and still
        # exits 0, so any word from it fails the test.  The English pages are set for the
        # terminal of the C locale (ASCII), as man sets them there; the Russian ones for UTF-8.
        add_test(NAME packaging_manual_page
                 COMMAND sh -c [[
                     groff=$1; shift
                     for page; do
                         case $page in
                             */ru/*) LC_ALL=C.UTF-8 "$groff" -ww -z -k -Tutf8 -man "$page" ;;
                             *) LC_ALL=C "$groff" -ww -z -Tascii -man "$page" ;;
                         esac || exit
                     done
                 ]] sh ${GROFF_PROGRAM} ${BUKVOTOK_MANUAL_PAGE_FILES})
        set_tests_properties(packaging_manual_page PROPERTIES FAIL_REGULAR_EXPRESSION ".")
    endif()
    add_test(NAME packaging_install_tree
             COMMAND ${BUKVOTOK_PACKAGING_DIR}/check-install.sh ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR}
                     $<BOOL:${BUKVOTOK_BUILD_WINDOW}>)
    add_test(NAME packaging_debian_package
             COMMAND ${BUKVOTOK_PACKAGING_DIR}/check-package.sh ${CMAKE_CPACK_COMMAND}
                     ${PROJECT_BINARY_DIR} ${PROJECT_VERSION} $<BOOL:${BUKVOTOK_BUILD_WINDOW}>
                     ${BUKVOTOK_SOURCE_DATE_EPOCH})
endif()

# --- The Debian package ---

set(CPACK_PACKAGE_NAME bukvotok)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${BUKVOTOK_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds Russian dictionary words by random search")
# Debian shows the description as it stands, so its lines are broken here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Bukvotok (Буквоток) grows random strings of the small Russian letters one"
    "letter at a time, keeping each string the beginning of some dictionary entry,"
    "and collects the strings that end on a whole word."
    ""
    "The window program, bukvotok, has a Russian interface; bukvotok-search runs"
    "the same search without a window, for batch use and for measuring."
    "Dictionaries are plain text files with one word per line, in Windows-1251"
    "or UTF-8.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY bukvotok)
set(CPACK_STRIP_FILES ON)
set(CPACK_BUKVOTOK_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${BUKVOTOK_PACKAGING_DIR}/StripComments.cmake
                            ${BUKVOTOK_PACKAGING_DIR}/PackageFolders.cmake)
# The package's file and member times: the source date, unless SOURCE_DATE_EPOCH is set for cpack.
set(CPACK_PROJECT_CONFIG_FILE ${BUKVOTOK_PACKAGING_DIR}/PackageDate.cmake)
set(CPACK_BUKVOTOK_SOURCE_DATE_EPOCH ${BUKVOTOK_SOURCE_DATE_EPOCH})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${BUKVOTOK_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(BUKVOTOK_BUILD_WINDOW)
    # Qt loads these at run time, out of sight of dpkg-shlibdeps: without the platform plugins
    # the window cannot open at all, and without Liberation Sans, which stands in for
    # "MS Sans Serif" at the laid-out widths, the fallback face (DejaVu Sans, wider) cuts the
    # captions.  Qt's own dialogs speak Russian from the translations, and the links open
    # through xdg-open; the window works without those two.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
endif()

include(CPack)
