# The Debian package: 'cpack -G DEB' in a build configured with CMAKE_INSTALL_PREFIX=/usr (tools/package.sh) makes
# pacequill_<version>_<arch>.deb of everything 'cmake --install' installs. The programs find the help viewer and the
# help collection under the install prefix compiled into them, so the package installs under that same prefix.

set(PACEQUILL_MAINTAINER "Pacequill maintainers <maintainers@pacequill.example.org>" CACHE STRING
    "Name and address in the package's Maintainer field and changelog")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pacequill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Pacequill)
set(CPACK_PACKAGE_CONTACT ${PACEQUILL_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})

# pacequill_3.1.0_amd64.deb: Debian's own naming, with the architecture dpkg reports.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PACEQUILL_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PACEQUILL_HOMEPAGE})
# The synopsis (without the project description's article, as Debian's synopses go) and the extended description
# that package managers show below it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "logbook for runners")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pacequill keeps one log of your runs: the date, the distance in miles,
kilometers or marathons, the time and your notes. Sort the log by any column,
add, change and delete runs, and add up the distance you ran per week, month,
year or between any two dates. The entry editor doubles as a pace calculator.
The command-line companion pquil reads the same logs, adds them up, converts,
exports and imports them.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Depends comes from dpkg-shlibdeps on the programs. What Qt loads as a plugin at run time is not linked, so
# dpkg-shlibdeps cannot see it: the help viewer opens its help collection, an SQLite database, through Qt's SQLite
# driver plugin.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")

# What Debian's policy asks of every package beyond the installed files: manual pages compressed, a copyright file
# and a changelog. Added to the staged files just before they are packed, so 'cmake --install' is unchanged.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianPackageFiles.cmake)
set(CPACK_PACEQUILL_COPYRIGHT_FILE ${PROJECT_SOURCE_DIR}/resources/package/copyright)
# The changelog entry carries the date of the commit built, so the same sources give the same package.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C
                    git -C ${PROJECT_SOURCE_DIR} log -1 "--date=format:%a, %d %b %Y %H:%M:%S %z" --format=%cd
                OUTPUT_VARIABLE CPACK_PACEQUILL_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT CPACK_PACEQUILL_CHANGELOG_DATE)
    string(TIMESTAMP CPACK_PACEQUILL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()

include(CPack)
