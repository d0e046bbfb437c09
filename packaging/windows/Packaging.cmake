# What a Windows build installs beside its programs, the installer `cpack -G NSIS` makes of it
# (Debian's nsis) and the portable ZIP `cpack -G ZIP` makes.  Included from the top-level
# CMakeLists.txt after every target exists; the programs install themselves (app/), so a new
# one needs its own install() line there and nothing here.
set(BUKVOTOK_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
include(${BUKVOTOK_PACKAGING_DIR}/SourceDate.cmake)

# The texts with Windows' line ends, which older Notepads need; the README with a byte-order mark,
# by which they tell UTF-8.
set(texts_dir ${PROJECT_BINARY_DIR}/packaging)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE ${texts_dir}/LICENSE.txt "${licence}")
configure_file(${BUKVOTOK_PACKAGING_DIR}/windows/README.txt.in ${texts_dir}/README.txt.in @ONLY)
file(READ ${texts_dir}/README.txt.in readme)
string(REPLACE "\n" "\r\n" readme "${readme}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE ${texts_dir}/README.txt "${byte_order_mark}${readme}")
install(FILES ${texts_dir}/LICENSE.txt ${texts_dir}/README.txt DESTINATION .)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(BUKVOTOK_WINDOWS_TARGET x86_64)
    set(nsis_target amd64-unicode)
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
else()
    set(BUKVOTOK_WINDOWS_TARGET i686)
    set(nsis_target x86-unicode)
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
endif()

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME Bukvotok)
set(CPACK_PACKAGE_VENDOR Bukvotok)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finds Russian dictionary words by random search")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Bukvotok)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Bukvotok)
# bukvotok-0.1.0-windows-x86_64.zip; the installer adds -setup (PackageOptions.cmake).
set(CPACK_PACKAGE_FILE_NAME bukvotok-${PROJECT_VERSION}-windows-${BUKVOTOK_WINDOWS_TARGET})
set(CPACK_RESOURCE_FILE_LICENSE ${texts_dir}/LICENSE.txt)
set(CPACK_STRIP_FILES ON)

# Debian's makensis writes a 32-bit installer unless told the target; the script says it itself,
# as CPack hands makensis no option of two words.  The installer keeps no file times (which
# would differ between two builds, CPack's own files among them): installed files get the time
# they are installed at.
set(CPACK_NSIS_DEFINES "  Target ${nsis_target}\n  SetDateSave off")
set(CPACK_NSIS_PACKAGE_NAME "Буквоток ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Буквоток ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${BUKVOTOK_RESOURCES_DIR}/bukvotok.ico)
set(CPACK_NSIS_MUI_UNIICON ${BUKVOTOK_RESOURCES_DIR}/bukvotok.ico)
if(TARGET bukvotok)
    set(CPACK_NSIS_INSTALLED_ICON_NAME bukvotok.exe)
else()
    set(CPACK_NSIS_INSTALLED_ICON_NAME bukvotok-search.exe)
endif()
set(CPACK_NSIS_URL_INFO_ABOUT "http://bukvotok.ru")
set(CPACK_NSIS_HELP_LINK "http://forum.bukvotok.ru")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The Start menu: the window program, the README, a command prompt in the program's folder (the
# search runs from the command line), and the uninstaller, which CPack adds.
if(TARGET bukvotok)
    set(CPACK_PACKAGE_EXECUTABLES bukvotok "Буквоток")
endif()
set(CPACK_NSIS_MENU_LINKS README.txt "Буквоток — прочти меня")
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  SetOutPath '$INSTDIR'
  CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Буквоток — командная строка.lnk' '$SYSDIR\\\\cmd.exe' '/k bukvotok-search.exe --help' '$INSTDIR\\\\bukvotok-search.exe'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Буквоток — командная строка.lnk'")

# Read by cpack before it packs: the files' times, the installer's name.
set(CPACK_PROJECT_CONFIG_FILE ${BUKVOTOK_PACKAGING_DIR}/windows/PackageOptions.cmake)
set(CPACK_BUKVOTOK_SOURCE_DATE_EPOCH ${BUKVOTOK_SOURCE_DATE_EPOCH})
set(CPACK_PRE_BUILD_SCRIPTS ${BUKVOTOK_PACKAGING_DIR}/PackageFolders.cmake
                            ${BUKVOTOK_PACKAGING_DIR}/windows/PackageTimes.cmake)

# CMake's installer script, mended to install for the current user or for all users
# (InstallMode.nsh.in, whose .onInit and un.onInit replace the script's own, and whose page comes
# before the folder's); MultiUser.nsh asks for an administrator itself, where one is needed.
set(install_mode ${PROJECT_BINARY_DIR}/packaging/nsis/InstallMode.nsh)
configure_file(${BUKVOTOK_PACKAGING_DIR}/windows/InstallMode.nsh.in ${install_mode} @ONLY)
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in nsis_template)
set(nsis_execution_level "  ;Require administrator access\n  RequestExecutionLevel admin\n")
# After the defines, which name the target that the install mode's folder depends on.
set(nsis_defines "@CPACK_NSIS_DEFINES@\n")
set(nsis_folder_page "  !insertmacro MUI_PAGE_DIRECTORY\n")
set(nsis_uninstaller_init "Function un.onInit\n")
set(nsis_installer_init "Function .onInit\n")
foreach(part nsis_execution_level nsis_defines nsis_folder_page nsis_uninstaller_init
             nsis_installer_init)
    string(FIND "${nsis_template}" "${${part}}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "CMake's NSIS.template.in lacks the line to mend: ${${part}}")
    endif()
endforeach()
string(REPLACE "${nsis_execution_level}" "" nsis_template "${nsis_template}")
string(REPLACE "${nsis_defines}" "${nsis_defines}  !include \"${install_mode}\"\n" nsis_template
               "${nsis_template}")
string(REPLACE "${nsis_folder_page}" "  !insertmacro MULTIUSER_PAGE_INSTALLMODE\n${nsis_folder_page}"
               nsis_template "${nsis_template}")
# The script's own functions: the uninstaller's up to its end, the installer's the last in it.
string(FIND "${nsis_template}" "${nsis_uninstaller_init}" from)
string(SUBSTRING "${nsis_template}" ${from} -1 rest)
string(FIND "${rest}" "FunctionEnd\n" length)
string(SUBSTRING "${rest}" 0 ${length} uninstaller_init)
string(REPLACE "${uninstaller_init}FunctionEnd\n" "" nsis_template "${nsis_template}")
string(FIND "${nsis_template}" "${nsis_installer_init}" from)
string(SUBSTRING "${nsis_template}" 0 ${from} nsis_template)
file(WRITE ${PROJECT_BINARY_DIR}/packaging/nsis/NSIS.template.in "${nsis_template}")
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_BINARY_DIR}/packaging/nsis)

include(CPack)

# --- Checks of the programs and the packages ---
# The installed window program is started, so the packages are used on an X screen, on the
# prefix of the programs that make windows.
find_program(XVFB_RUN xvfb-run)
if(BUKVOTOK_BUILD_TESTS AND BUKVOTOK_WINE_WINDOW_PREFIX AND XVFB_RUN AND TARGET bukvotok)
    add_test(NAME packaging_windows_packages
             COMMAND ${XVFB_RUN} -a ${BUKVOTOK_PACKAGING_DIR}/windows/check-packages.sh
                     ${CMAKE_CPACK_COMMAND} ${PROJECT_BINARY_DIR} ${PROJECT_VERSION}
                     ${BUKVOTOK_WINDOWS_TARGET} ${PROJECT_SOURCE_DIR}/cmake/WineRun.sh
                     ${BUKVOTOK_WINE_WINDOW_PREFIX})
    set_tests_properties(packaging_windows_packages PROPERTIES TIMEOUT 300
                         RESOURCE_LOCK wine_window_prefix)
elseif(BUKVOTOK_BUILD_TESTS AND BUKVOTOK_WINE_PREFIX)
    message(STATUS "packaging_windows_packages is not run: it needs xvfb-run (Debian: xvfb) "
                   "and the window program")
endif()
if(BUKVOTOK_BUILD_TESTS)
    set(programs $<TARGET_FILE:bukvotok-search>)
    if(TARGET bukvotok)
        list(APPEND programs $<TARGET_FILE:bukvotok>)
    endif()
    add_test(NAME packaging_windows_imports
             COMMAND ${BUKVOTOK_PACKAGING_DIR}/windows/check-imports.sh ${CMAKE_OBJDUMP} ${programs})
endif()
