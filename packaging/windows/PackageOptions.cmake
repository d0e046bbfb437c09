# Read by cpack before each package it makes: the files' times are the source date (see
# PackageTimes.cmake), and a ZIP, which stores local times, is made in UTC so that every time
# zone makes the same.  The installer's name says that it installs.
include(${CMAKE_CURRENT_LIST_DIR}/../PackageDate.cmake)
set(ENV{TZ} UTC)
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
