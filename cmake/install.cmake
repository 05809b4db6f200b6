# What `cmake --install` puts where (the usual GNU folders under the prefix), and the Debian package
# `cpack -G DEB` makes of it: the program, the sample data folder, the systemd unit and the README.
# The README goes to share/doc/tessarin, where Debian keeps a package's documents, unless the command line
# names another folder (Qt's packages have already chosen one after the project's name, "Tessarin").
if("$CACHE{CMAKE_INSTALL_DOCDIR}" STREQUAL "")
    set(CMAKE_INSTALL_DOCDIR share/doc/tessarin)
endif()
include(GNUInstallDirs)

# Relative to the prefix: /usr/lib/systemd/system for the package, /usr/local/lib/systemd/system (which
# systemd reads too) for an install of one's own.
set(TESSARIN_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING "Where the systemd unit goes")

install(TARGETS tessarin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The operator's own files in a working copy's files/ are no samples.
install(DIRECTORY files/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tessarin/files
    PATTERN "*.conf" EXCLUDE PATTERN "tessarin.ini" EXCLUDE)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(tools/tessarin.service.in ${PROJECT_BINARY_DIR}/tessarin.service @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tessarin.service DESTINATION ${TESSARIN_SYSTEMD_UNIT_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessarin)
set(CPACK_PACKAGE_VENDOR Tessarin)
set(CPACK_PACKAGE_CONTACT "Tessarin maintainers <tessarin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "IRC bot for tabletop role-playing groups")
set(CPACK_PACKAGE_DESCRIPTION
    "Rolls dice for many game systems, quotes random tables, remembers who was around and runs as a headless service.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
string(TOLOWER ${TESSARIN_VERSION_STAGE} stage)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION}~${stage})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
# The libraries the program links, found by dpkg-shlibdeps; adduser and setpriv (util-linux) for the
# maintainer scripts; Qt's SQLite driver, a plugin loaded at run time, for tessarin.db.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, util-linux, libqt6sql6-sqlite")
configure_file(tools/debian/postinst.in ${PROJECT_BINARY_DIR}/debian/postinst @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_BINARY_DIR}/debian/postinst ${PROJECT_SOURCE_DIR}/tools/debian/prerm
    ${PROJECT_SOURCE_DIR}/tools/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
